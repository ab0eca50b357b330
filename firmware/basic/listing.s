; Listing: a stored line printed back as it was typed, and the walks over tokens that
; LIST, the skipping statements and the forgetting of slots share.
        .module listing
        .include "basic.inc"

        .area   _RCODE2

; Lists the line at HL: its number, a blank and its text, through prt_chr.
list_line::
        inc     hl
        inc     hl
        ld      e, (hl)
        inc     hl
        ld      d, (hl)
        inc     hl
        push    hl
        ex      de, hl
        call    prt_uint
        ld      a, #0x20
        call    prt_chr
        pop     hl
        xor     a
        ld      (in_text), a
lst_next:
        ld      a, (hl)
        inc     hl
        or      a
        ret     z
        cp      #0x0B
        jr      c, lst_tok
        cp      #'"
        jr      z, lst_str
        cp      #0x80
        jr      nc, lst_word
        cp      #':
        jr      nz, 1$
        ld      b, a
        ld      a, (in_text)            ; a colon ends DATA
        cp      #2
        ld      a, b
        jr      nz, 1$
        xor     a
        ld      (in_text), a
        ld      a, b
1$:     call    prt_chr
        jr      lst_next
lst_word:
        ld      b, a
        call    prt_kw
        ld      a, b
        ld      c, #1
        cp      #TK_REM
        jr      z, 1$
        cp      #TK_REMQ
        jr      z, 1$
        inc     c
        cp      #TK_DATA
        jr      nz, lst_next
1$:     ld      a, c
        ld      (in_text), a
        jr      lst_next
lst_str:
        ld      a, (in_text)
        push    af
        ld      a, #1
        ld      (in_text), a
        ld      a, #'"
1$:     call    prt_chr
        ld      a, (hl)
        or      a
        jr      z, 2$
        inc     hl
        cp      #'"
        jr      nz, 1$
        pop     af
        ld      (in_text), a
        ld      a, #'"
        call    prt_chr
        jr      lst_next
2$:     pop     af
        ld      (in_text), a
        jr      lst_next
lst_tok:
        cp      #T_TXT
        jr      z, 3$
        cp      #T_VAR
        jr      nc, 4$
        cp      #T_FLT
        jr      z, 2$
        ld      e, (hl)                 ; T_INT or T_LINE
        inc     hl
        ld      d, (hl)
        inc     hl
        cp      #T_LINE
        jr      nz, 1$
        inc     hl
        inc     hl
1$:     push    hl
        ex      de, hl
        call    prt_uint
        pop     hl
        jp      lst_next
2$:     call    fp_ld_fac_hl
        inc     hl
        inc     hl
        inc     hl
        inc     hl
        push    hl
        call    fp_fout
        inc     hl
        call    prt_str
        pop     hl
        jp      lst_next
3$:     ld      b, (hl)                 ; the typed text, then skip the number
        inc     hl
31$:    ld      a, (hl)
        inc     hl
        call    prt_chr
        djnz    31$
        call    skip_token
        jp      lst_next
4$:     inc     hl                      ; a name
        inc     hl
        ld      b, (hl)
        inc     hl
41$:    ld      a, (hl)
        inc     hl
        call    prt_chr
        djnz    41$
        jp      lst_next

; Prints the word of token A. Keeps BC, DE, HL.
prt_kw::
        push    hl
        push    de
        sub     #0x80
        add     a, a
        ld      e, a
        ld      d, #0
        ld      hl, #kw_tok
        add     hl, de
        ld      a, (hl)
        inc     hl
        ld      h, (hl)
        ld      l, a
1$:     ld      a, (hl)
        and     #0x7F
        call    prt_chr
        bit     7, (hl)
        inc     hl
        jr      z, 1$
        pop     de
        pop     hl
        ret

; Moves HL over the token at HL. Strings and REM stop at the end of the line, leaving HL on
; its 0. Keeps BC and DE.
skip_token::
        ld      a, (hl)
        inc     hl
        cp      #0x0B
        jr      nc, 5$
        cp      #T_TXT
        jr      z, 3$
        cp      #T_VAR
        jr      nc, 4$
        cp      #T_INT
        jr      z, 2$
        inc     hl                      ; T_FLT, T_LINE: 4 bytes
        inc     hl
2$:     inc     hl
        inc     hl
        ret
3$:     ld      a, (hl)                 ; the typed text, then its number
        inc     a
        add     a, l
        ld      l, a
        jr      nc, skip_token
        inc     h
        jr      skip_token
4$:     inc     hl                      ; slot and name
        inc     hl
        ld      a, (hl)
        inc     a
        add     a, l
        ld      l, a
        ret     nc
        inc     h
        ret
5$:     cp      #'"
        jr      z, 7$
        cp      #TK_REM
        jr      z, 6$
        cp      #TK_REMQ
        ret     nz
6$:     ld      a, (hl)
        or      a
        ret     z
        inc     hl
        jr      6$
7$:     ld      a, (hl)
        or      a
        ret     z
        inc     hl
        cp      #'"
        jr      nz, 7$
        ret

; Forgets every slot and line address in the program: the variables were cleared or the
; lines moved.
unresolve::
        xor     a
        ld      (slots_dirty), a
        ld      hl, #TEXT_START
1$:     ld      e, (hl)
        inc     hl
        ld      d, (hl)
        inc     hl
        ld      a, d
        or      e
        ret     z
        inc     hl
        inc     hl
2$:     ld      a, (hl)
        or      a
        jr      z, 5$
        call    skip_txt                ; a line number's typed text: on to its token
        cp      #T_LINE
        jr      z, 3$
        cp      #T_VAR
        jr      c, 4$
        cp      #0x0B
        jr      nc, 4$
        inc     hl
        ld      (hl), #0
        inc     hl
        ld      (hl), #0
        dec     hl
        dec     hl
4$:     call    skip_token
        jr      2$
3$:     inc     hl
        inc     hl
        inc     hl
        ld      (hl), #0
        inc     hl
        ld      (hl), #0
        inc     hl
        jr      2$
5$:     ex      de, hl
        jr      1$

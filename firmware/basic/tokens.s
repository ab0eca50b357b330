; Tokens: crunching a typed line into the stored form (listing it and walking over its
; tokens are in listing.s). Keywords become one byte (0x80 up), numbers and line numbers
; are stored in binary (with the text as typed when it differs from how the value prints),
; and every variable carries a slot that the interpreter fills with its address on first
; use.
        .module tokens
        .include "basic.inc"

KBUF_SIZE       = 768                   ; room for a crunched line (plus one raw copy)
KBUF_ROOM       = 80                    ; the most one step of crunching stores at once,
                                        ; but for the characters copied one by one

        .area   _DATA
kbuf::          .ds     KBUF_SIZE + 8   ; the crunched line (and for direct mode its end)
kw_tok::        .ds     256             ; token -> its word in kw_table
kw_letter:      .ds     54              ; letter -> its first entry in kw_table
kw_stop:        .ds     2
kw_found:       .ds     1
cr_name:        .ds     66
cr_len:         .ds     1
cr_mode:        .ds     1               ; 1: digits are line numbers (after GOTO, THEN, ...)
cr_start:       .ds     2
cr_after:       .ds     2
cr_dest:        .ds     2
cr_int:         .ds     2
in_text::       .ds     1               ; listing: 0 code, 1 string or REM, 2 DATA

        .area   _RCODE2

; Builds the indexes of the keyword table.
tok_init::
        ld      hl, #kw_unknown
        ld      (kw_tok), hl
        ld      hl, #kw_tok
        ld      de, #kw_tok + 2
        ld      bc, #254
        ldir
        ld      hl, #kw_table
1$:     ld      a, (hl)
        or      a
        jr      z, 3$
        inc     hl
        push    hl
        sub     #0x80
        add     a, a
        ld      e, a
        ld      d, #0
        ld      hl, #kw_tok
        add     hl, de
        pop     de
        ld      (hl), e
        inc     hl
        ld      (hl), d
        ex      de, hl
2$:     bit     7, (hl)
        inc     hl
        jr      z, 2$
        jr      1$
3$:     ld      hl, #kw_table           ; the first entry of each letter, A to Z and past Z
        ld      de, #kw_letter
        ld      c, #'A
4$:     inc     hl
        ld      a, (hl)
        dec     hl
        and     #0x7F
        cp      #'A
        jr      c, 6$
        cp      c
        jr      nc, 6$
        inc     hl
5$:     bit     7, (hl)
        inc     hl
        jr      z, 5$
        jr      4$
6$:     ex      de, hl
        ld      (hl), e
        inc     hl
        ld      (hl), d
        inc     hl
        ex      de, hl
        inc     c
        ld      a, c
        cp      #'Z + 2
        jr      nz, 4$
        ret

kw_unknown:
        .db     '?|0x80

; Looks up the word of B letters at DE (upper case). NC and A = its token if it is a
; keyword; C if not. Keeps DE and B.
kw_find:
        ld      a, (de)
        sub     #'A
        ret     c
        cp      #26
        ccf
        ret     c
        push    bc
        add     a, a
        ld      c, a
        ld      b, #0
        ld      hl, #kw_letter
        add     hl, bc
        ld      c, (hl)
        inc     hl
        ld      b, (hl)
        inc     hl
        ld      a, (hl)
        inc     hl
        ld      h, (hl)
        ld      l, a
        ld      (kw_stop), hl
        ld      h, b
        ld      l, c
        pop     bc
1$:     push    de
        ld      de, (kw_stop)
        rst     0x28
        pop     de
        scf
        ret     z                       ; no more words of this letter
        ld      a, (hl)
        ld      (kw_found), a
        inc     hl
        push    de
        ld      c, b
2$:     ld      a, (de)
        xor     (hl)
        and     #0x7F
        jr      nz, 4$
        dec     c
        bit     7, (hl)
        jr      nz, 3$
        ld      a, c
        or      a
        jr      z, 4$                   ; the word is longer
        inc     hl
        inc     de
        jr      2$
3$:     ld      a, c
        or      a
        jr      nz, 4$                  ; the name is longer
        pop     de
        ld      a, (kw_found)
        ret                             ; NC from `or a`
4$:     bit     7, (hl)
        inc     hl
        jr      z, 4$
        pop     de
        jr      1$

; Upper-cases a letter in A. C set for a letter.
up_letter::
        cp      #'a
        jr      c, 1$
        cp      #'z + 1
        ret     nc
        sub     #0x20
        scf
        ret
1$:     cp      #'A
        ccf
        ret     nc
        cp      #'Z + 1
        ret

; Crunches the zero-terminated text at HL into kbuf. BC = its length with the final 0.
crunch::
        ld      de, #kbuf
        xor     a
        ld      (cr_mode), a
cr_next:
        push    hl                      ; room for the next step? (a string or a REM is
        ld      hl, #kbuf + KBUF_SIZE - KBUF_ROOM   ; copied in one step)
        or      a
        sbc     hl, de
        pop     hl
        jp      c, err_lbo
        ld      a, (hl)
        or      a
        jr      z, cr_done
        cp      #0x20
        jr      z, cr_copy
        jr      c, cr_blank
        cp      #0x80                   ; (see cr_clean)
        ld      c, #TK_PRINT
        jr      nc, cr_word1
        cp      #',
        jr      z, cr_copy
        cp      #'"
        jr      z, cr_string
        call    up_letter
        jp      c, cr_ident
        ld      a, (hl)
        cp      #'.
        jp      z, cr_number
        cp      #'0
        jr      c, 1$
        cp      #'9 + 1
        jp      c, cr_number
1$:     cp      #'&
        jp      z, cr_hex
        cp      #'<
        jp      z, cr_rel
        cp      #'>
        jp      z, cr_rel
        cp      #'=
        jp      z, cr_rel
        cp      #'?
        ld      c, #TK_PRINT
        jr      z, cr_word1
        cp      #0x27
        ld      c, #TK_REMQ
        jr      z, cr_word1
        ld      c, a                    ; anything else ends a list of line numbers
        xor     a
        ld      (cr_mode), a
        ld      a, c
cr_copy:
        ld      (de), a
        inc     de
        inc     hl
        jr      cr_next
cr_done:
        ld      (de), a
        inc     de
        ex      de, hl
        ld      de, #kbuf
        or      a
        sbc     hl, de
        ld      b, h
        ld      c, l
        ret
cr_blank:
        ld      a, #0x20
        jr      cr_copy

cr_string:
        ld      (de), a
        inc     de
        inc     hl
1$:     ld      a, (hl)
        or      a
        jp      z, cr_next
        call    cr_put
        inc     hl
        cp      #'"
        jr      nz, 1$
        jp      cr_next

; A one-character word (? or ').
cr_word1:
        inc     hl
        ld      a, c
        jp      cr_word

; A name or a word: the run of letters and digits at HL.
cr_ident:
        push    de
        ld      de, #cr_name
        ld      (cr_start), hl
        ld      b, #0
1$:     ld      a, (hl)
        call    up_letter
        jr      c, 2$
        cp      #'0
        jr      c, 3$
        cp      #'9 + 1
        jr      nc, 3$
2$:     ld      (de), a
        inc     de
        inc     hl
        inc     b
        ld      a, b
        cp      #63                     ; with its $ or % a name fits 6 bits of length
        jp      nc, err_syntax
        jr      1$
3$:     ld      (cr_after), hl
        ld      a, b
        ld      (cr_len), a
        ld      de, #cr_name
        ld      a, (hl)
        cp      #'$
        jr      nz, 4$
        push    hl                      ; a word ending in $ (CHR$)?
        ld      hl, #cr_name
        ld      c, b
        ld      b, #0
        add     hl, bc
        ld      (hl), #'$
        ld      b, c
        inc     b
        call    kw_find
        dec     b
        pop     hl
        jr      c, 4$
        inc     hl
        pop     de
        jr      cr_word
4$:     call    kw_find                 ; the whole run a word?
        jr      c, 5$
        pop     de
        ld      hl, (cr_after)
        jr      cr_word
5$:     ld      hl, (cr_start)          ; FN and a name: FNA
        ld      a, b
        cp      #3
        jr      c, 7$
        ld      a, (de)
        cp      #'F
        jr      nz, 6$
        inc     de
        ld      a, (de)
        dec     de
        cp      #'N
        jr      nz, 7$
        inc     hl
        inc     hl
        pop     de
        ld      a, #TK_FN
        jr      cr_word
6$:     cp      #'R                     ; REM and its text: REMARK
        jr      nz, 7$
        push    hl
        ld      hl, #cr_name + 1
        ld      a, (hl)
        cp      #'E
        jr      nz, 61$
        inc     hl
        ld      a, (hl)
        cp      #'M
61$:    pop     hl
        jr      nz, 7$
        inc     hl
        inc     hl
        inc     hl
        pop     de
        ld      a, #TK_REM
        jr      cr_word
7$:     ld      de, #cr_name            ; a word followed by digits: GOTO100, 1TO9STEP2
        ld      c, #0
8$:     ld      a, (de)
        cp      #'A
        jr      c, 9$
        inc     de
        inc     c
        ld      a, c
        cp      b
        jr      nz, 8$
        jr      cr_name_tok             ; all letters
9$:     push    bc
        ld      b, c
        ld      de, #cr_name
        call    kw_find
        pop     bc
        jr      c, cr_name_tok
        ld      hl, (cr_start)          ; the word, then what follows it read again
        ld      e, c
        ld      d, #0
        add     hl, de
        pop     de
        jr      cr_word
cr_name_tok:
        pop     de
        jp      cr_namet

; The word A at HL (the text after it): stored, and the modes it sets.
cr_word:
        ld      (de), a
        inc     de
        ld      c, a
        xor     a
        ld      (cr_mode), a
        ld      a, c
        cp      #TK_REM
        jr      z, cr_rest
        cp      #TK_REMQ
        jr      z, cr_rest
        cp      #TK_DATA
        jr      z, cr_data
        cp      #TK_GOTO
        jr      z, 1$
        cp      #TK_GOSUB
        jr      z, 1$
        cp      #TK_THEN
        jr      z, 1$
        cp      #TK_ELSE
        jr      z, 1$
        cp      #TK_RESTORE
        jr      z, 1$
        cp      #TK_RUN
        jr      z, 1$
        cp      #TK_RESUME
        jp      nz, cr_next
1$:     ld      a, #1
        ld      (cr_mode), a
        jp      cr_next

; The rest of the line as it stands (REM); LIST takes a quote in it for a string.
cr_rest:
        ld      c, #0                   ; bit 0: inside quotes
1$:     ld      a, (hl)
        or      a
        jp      z, cr_done
        cp      #'"
        jr      nz, 2$
        inc     c
2$:     bit     0, c
        call    z, cr_clean
        call    cr_put
        inc     hl
        jr      1$

; The screen editor hands over the cells as they are. Outside strings a control code
; becomes a blank and a byte from 0x80 a '?', as LOAD reads a file, so that no byte of the
; stored text can be taken for a token (0x01-0x0A) or a keyword. Keeps everything but A.
cr_clean:
        cp      #0x20
        jr      c, 1$
        cp      #0x80
        ret     c
        ld      a, #'?
        ret
1$:     ld      a, #0x20
        ret

; Stores A at DE in kbuf and moves on; "Line buffer overflow" when it is full. Keeps A.
cr_put: ld      (de), a
        inc     de
        push    hl
        ld      hl, #kbuf + KBUF_SIZE - 1
        or      a
        sbc     hl, de
        pop     hl
        ret     nc
        jp      err_lbo

; DATA: as it stands up to a colon outside quotes.
cr_data:
        ld      c, #0                   ; 1 inside quotes
1$:     ld      a, (hl)
        or      a
        jp      z, cr_next
        cp      #'"
        jr      nz, 2$
        ld      a, c
        xor     #1
        ld      c, a
        ld      a, #'"
2$:     cp      #':
        jr      nz, 3$
        bit     0, c
        jp      z, cr_next
3$:     bit     0, c
        call    z, cr_clean
        call    cr_put
        inc     hl
        jr      1$

; A name in cr_name (cr_len letters and digits), the text after it at cr_after. Its type
; comes from a $ or % after it, and it is an array when a '(' follows.
cr_namet:
        ld      a, (cr_len)
        ld      b, a
        ld      hl, (cr_after)
        ld      c, #T_VAR
        ld      a, (hl)
        cp      #'%
        jr      z, 1$
        cp      #'$
        jr      nz, 2$
        inc     c
1$:     inc     c
        push    de
        ld      e, b
        ld      d, #0
        ld      hl, #cr_name
        add     hl, de
        ld      (hl), a
        pop     de
        inc     b
        ld      hl, (cr_after)
        inc     hl
2$:     push    hl
3$:     ld      a, (hl)
        inc     hl
        cp      #0x20
        jr      z, 3$
        pop     hl
        cp      #'(
        jr      nz, 4$
        inc     c
        inc     c
        inc     c
4$:     ld      a, c
        ld      (de), a
        inc     de
        xor     a
        ld      (de), a
        inc     de
        ld      (de), a
        inc     de
        ld      a, b
        ld      (de), a
        inc     de
        push    hl
        ld      hl, #cr_name
        ld      c, b
        ld      b, #0
        ldir
        pop     hl
        xor     a
        ld      (cr_mode), a
        jp      cr_next

; Two-character comparisons become one token, blanks between them allowed.
cr_rel:
        ld      c, a
        xor     a
        ld      (cr_mode), a
        push    hl
1$:     inc     hl
        ld      a, (hl)
        cp      #0x20
        jr      z, 1$
        ld      b, a
        ld      a, c
        cp      #'<
        jr      nz, 2$
        ld      a, b
        cp      #'=
        ld      a, #TK_LE
        jr      z, 5$
        ld      a, b
        cp      #'>
        ld      a, #TK_NE
        jr      z, 5$
        jr      4$
2$:     cp      #'>
        jr      nz, 3$
        ld      a, b
        cp      #'=
        ld      a, #TK_GE
        jr      z, 5$
        ld      a, b
        cp      #'<
        ld      a, #TK_NE
        jr      z, 5$
        jr      4$
3$:     ld      a, b
        cp      #'<
        ld      a, #TK_LE
        jr      z, 5$
        ld      a, b
        cp      #'>
        ld      a, #TK_GE
        jr      z, 5$
4$:     pop     hl
        ld      a, c
        jp      cr_copy
5$:     pop     bc
        inc     hl
        ld      (de), a
        inc     de
        jp      cr_next

; A number: T_INT for whole numbers up to 32767 typed without point or exponent, else T_FLT.
cr_number:
        ld      (cr_dest), de
        ld      a, (cr_mode)
        or      a
        jr      z, 1$
        ld      a, (hl)
        cp      #'.
        jr      nz, cr_lineno
1$:     ld      (cr_start), hl
        call    fp_fin
        jr      nc, 2$
        ld      de, (cr_dest)           ; a point on its own
        ld      a, (hl)
        jp      cr_copy
2$:     ld      (cr_after), hl
        cp      #VT_INT
        jr      nz, 3$
        ld      (cr_int), de
        ex      de, hl
        call    fmt_uint
        ld      c, #T_INT
        jr      cr_emit
3$:     call    fp_fout
        inc     hl                      ; constants are not negative: a blank leads
        call    str_len
        ld      c, #T_FLT
        jr      cr_emit

; A line number after GOTO, GOSUB, THEN, ELSE, RESTORE, RUN or RESUME.
cr_lineno:
        ld      (cr_start), hl
        call    get_uint
        ld      (cr_after), hl
        ld      (cr_int), de
        ex      de, hl
        call    fmt_uint
        ld      c, #T_LINE
        jr      cr_emit

; &H and hexadecimal digits: a 16-bit pattern, kept with its text.
cr_hex: ld      (cr_dest), de
        inc     hl
        ld      a, (hl)
        dec     hl
        call    up_letter
        cp      #'H
        ld      a, #'&
        jp      nz, cr_copy
        ld      (cr_start), hl
        inc     hl
        inc     hl
        ld      de, #0
        ld      b, d
1$:     ld      a, (hl)
        call    up_letter
        sub     #'0
        jr      c, 3$
        cp      #10
        jr      c, 2$
        sub     #'A - '0
        jr      c, 3$
        cp      #6
        jr      nc, 3$
        add     a, #10
2$:     ld      c, a
        ld      a, d
        and     #0xF0
        jp      nz, err_overflow
        ex      de, hl
        add     hl, hl
        add     hl, hl
        add     hl, hl
        add     hl, hl
        ld      a, l
        or      c
        ld      l, a
        ex      de, hl
        inc     hl
        inc     b
        jr      1$
3$:     ld      a, b
        or      a
        jp      z, err_syntax
        ld      (cr_after), hl
        ld      (cr_int), de
        ld      b, #0                   ; no canonical text: the typed one is kept
        ld      c, #T_INT
        ; fall through

; Stores a number: T_TXT with the typed text [cr_start, cr_after) unless it equals the B
; characters at HL, then token C with its value (cr_int, or the FAC for T_FLT).
cr_emit:
        push    hl
        ld      hl, (cr_after)
        ld      de, (cr_start)
        or      a
        sbc     hl, de
        ld      a, l
        pop     hl
        cp      b
        jr      nz, 2$
1$:     ld      a, (de)
        cp      (hl)
        jr      nz, 2$
        inc     de
        inc     hl
        djnz    1$
        jr      3$
2$:     ld      hl, (cr_after)
        ld      de, (cr_start)
        or      a
        sbc     hl, de
        ld      b, l
        ld      hl, (cr_dest)
        ld      (hl), #T_TXT
        inc     hl
        ld      (hl), b
        inc     hl
        ex      de, hl
        push    bc
        ld      c, b
        ld      b, #0
        ldir
        pop     bc
        ld      (cr_dest), de
3$:     ld      hl, (cr_dest)
        ld      (hl), c
        inc     hl
        ld      a, c
        cp      #T_FLT
        jr      z, 5$
        ld      de, (cr_int)
        ld      (hl), e
        inc     hl
        ld      (hl), d
        inc     hl
        cp      #T_LINE
        jr      nz, 4$
        xor     a
        ld      (hl), a
        inc     hl
        ld      (hl), a
        inc     hl
        jr      6$
4$:     xor     a
        ld      (cr_mode), a
6$:     ex      de, hl
        ld      hl, (cr_after)
        jp      cr_next
5$:     call    fp_st_fac_hl
        inc     hl
        inc     hl
        inc     hl
        inc     hl
        jr      4$

; Reads an unsigned decimal line number at HL into DE (HL after it); at most 65529.
get_uint::
        ld      de, #0
        ld      a, (hl)
        sub     #'0
        cp      #10
        jp      nc, err_syntax
1$:     ld      a, (hl)
        sub     #'0
        cp      #10
        ret     nc
        push    hl
        ld      h, d
        ld      l, e
        add     hl, hl
        jr      c, 2$
        add     hl, hl
        jr      c, 2$
        add     hl, de
        jr      c, 2$
        add     hl, hl
        jr      c, 2$
        ld      e, a
        ld      d, #0
        add     hl, de
        jr      c, 2$
        ex      de, hl
        ld      hl, #65529
        or      a
        sbc     hl, de
        pop     hl
        jp      c, err_syntax
        inc     hl
        jr      1$
2$:     jp      err_syntax

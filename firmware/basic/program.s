; The program store: lines in order of their numbers from TEXT_START, each
;   link (2, address of the next line; 0 ends the program), number (2), tokens, 0
; followed by the simple variables, the arrays, free space and the strings (downwards).
; A signature and the end of the text let a Reset find an intact program and keep it.
        .module program
        .include "basic.inc"

MAGIC           = 0x5642                ; "BV"

        .area   _DATA
txtend::        .ds     2               ; the end link (0) of the program text
slots_dirty::   .ds     1               ; the variables were cleared after slots were filled
vartab::        .ds     2               ; simple variables
arytab::        .ds     2               ; arrays
strend::        .ds     2               ; end of the arrays: free space starts here
fretop::        .ds     2               ; lowest string byte
sig:            .ds     2
sig_end:        .ds     2
sig_endc:       .ds     2

        .area   _RCODE3

; Z if memory holds an intact program: the signature, then a walk of the links with rising
; line numbers, each line ending in 0, up to the recorded end. Keeps nothing.
prg_check::
        ld      hl, (sig)
        ld      de, #MAGIC
        rst     0x28
        ret     nz
        ld      de, (sig_end)
        ld      hl, (sig_endc)
        ld      a, h
        cpl
        cp      d
        ret     nz
        ld      a, l
        cpl
        cp      e
        ret     nz
        ld      hl, #TEXT_START         ; an empty program is nothing to keep
        ld      a, (hl)
        inc     hl
        or      (hl)
        dec     hl
        jr      z, 4$
        ld      bc, #0                  ; the last number seen plus 1
1$:     ld      e, (hl)                 ; DE = link, HL = line
        inc     hl
        ld      d, (hl)
        dec     hl
        ld      a, d
        or      e
        jr      z, 3$
        push    hl                      ; the link must lie beyond the header, within the text
        inc     hl
        inc     hl
        inc     hl
        inc     hl
        rst     0x28
        pop     hl
        jr      nc, 4$
        push    hl
        ld      hl, (sig_end)
        rst     0x28
        pop     hl
        jr      c, 4$
        dec     de                      ; ... and its line must end in 0
        ld      a, (de)
        inc     de
        or      a
        jr      nz, 4$
        inc     hl                      ; the number must rise
        inc     hl
        ld      a, (hl)
        inc     hl
        push    hl
        ld      h, (hl)
        ld      l, a
        or      a
        sbc     hl, bc
        pop     hl
        jr      c, 4$
        dec     hl
        ld      c, (hl)
        inc     hl
        ld      b, (hl)
        inc     bc
        ld      a, b
        or      c
        jr      z, 4$                   ; 65535 is no line number
        ex      de, hl
        jr      1$
3$:     ld      de, (sig_end)           ; the end link must be the recorded one
        rst     0x28
        ret
4$:     or      #1                      ; NZ
        ret

; Records the signature for the current end of the text.
prg_seal::
        ld      hl, #MAGIC
        ld      (sig), hl
        ld      hl, (txtend)
        ld      (sig_end), hl
        ld      a, h
        cpl
        ld      h, a
        ld      a, l
        cpl
        ld      l, a
        ld      (sig_endc), hl
        ret

; After a cold start that found an intact program ending at DE: it is kept.
prg_keep::
        ld      (txtend), de
        call    prg_seal
        jr      prg_clear

; NEW: no program, no variables.
prg_new::
        ld      hl, #TEXT_START
        ld      (txtend), hl
        xor     a
        ld      (hl), a
        inc     hl
        ld      (hl), a
        call    prg_seal
        ; fall through

; CLEAR: no variables, arrays or strings; the program's slots are forgotten; ON ERROR is
; off.
prg_clear::
        call    err_clear
        ld      hl, (txtend)
        inc     hl
        inc     hl
        ld      (vartab), hl
        ld      (arytab), hl
        ld      (strend), hl
        ld      hl, #MEM_TOP
        ld      (fretop), hl
        ld      a, #1
        ld      (slots_dirty), a        ; the program's slots point at the old variables
        jp      str_reset

; Finds line DE. Returns HL = the line, or the first line above DE (or the end link), and
; BC = the line before it (or 0). Z set and NC: found; C: not found. Keeps DE.
prg_find::
        ld      hl, #TEXT_START
        ld      bc, #0
1$:     ld      a, (hl)
        inc     hl
        or      (hl)
        dec     hl
        jr      z, 3$                   ; the end
        inc     hl
        inc     hl
        ld      a, (hl)
        inc     hl
        push    hl
        ld      h, (hl)
        ld      l, a
        rst     0x28                    ; number - DE
        pop     hl
        dec     hl
        dec     hl
        dec     hl
        jr      z, 2$
        jr      nc, 3$
        ld      b, h                    ; on to the next line
        ld      c, l
        ld      a, (hl)
        inc     hl
        ld      h, (hl)
        ld      l, a
        jr      1$
2$:     ret                             ; Z, NC
3$:     ld      a, #1
        or      a                       ; NZ, C
        scf
        ret

; Enters line DE with the crunched text in kbuf (length BC, the final 0 included): an empty
; text deletes the line. Variables are cleared first (editing ends any run).
prg_enter::
        push    bc
        push    de
        call    prg_clear
        pop     de
        push    de
        call    prg_find
        jr      c, 1$
        call    prg_delete              ; the old line goes
1$:     pop     de
        pop     bc
        ld      a, b                    ; only a terminator: nothing to insert
        or      a
        jr      nz, 2$
        dec     c
        jr      z, 9$
        inc     c
2$:     push    hl                      ; insert at HL: 4 + BC bytes
        push    de
        push    bc
        ld      hl, #4
        add     hl, bc
        ld      b, h
        ld      c, l
        call    mem_check               ; from txtend + 2
        pop     bc
        pop     de
        pop     hl
        push    de                      ; number
        push    bc                      ; text length
        push    hl                      ; where
        ld      hl, #4
        add     hl, bc
        ld      b, h
        ld      c, l
        pop     hl
        call    mem_open                ; a gap of BC at HL, the links after it moved
        ; HL = gap, BC = its size
        push    hl
        add     hl, bc
        ex      de, hl                  ; DE = the next line
        pop     hl
        ld      (hl), e
        inc     hl
        ld      (hl), d
        inc     hl
        pop     bc
        pop     de
        ld      (hl), e
        inc     hl
        ld      (hl), d
        inc     hl
        ex      de, hl
        ld      hl, #kbuf
        ldir
9$:     call    prg_seal
        jp      prg_clear

; Deletes the line at HL (its link gives its length). Keeps HL.
prg_delete::
        ld      e, (hl)
        inc     hl
        ld      d, (hl)
        dec     hl
        ex      de, hl
        or      a
        sbc     hl, de                  ; HL = length
        ld      b, h
        ld      c, l
        ex      de, hl
        ; fall through

; Closes a gap of BC bytes at HL in the program text: moves what follows down and corrects
; the links of the lines after it. Keeps HL.
mem_close::
        push    hl
        push    bc
        ld      d, h
        ld      e, l                    ; DE = the gap, the destination
        ld      hl, (txtend)
        inc     hl
        inc     hl
        or      a
        sbc     hl, de
        sbc     hl, bc                  ; bytes to move
        push    hl
        ld      h, d
        ld      l, e
        add     hl, bc                  ; the source
        pop     bc
        ld      a, b
        or      c
        jr      z, 1$
        ldir
1$:     pop     bc
        ld      hl, (txtend)
        or      a
        sbc     hl, bc
        ld      (txtend), hl
        pop     hl
        push    hl
        xor     a                       ; DE = -BC
        sub     c
        ld      e, a
        sbc     a, a
        sub     b
        ld      d, a
        call    relink
        pop     hl
        ret

; Opens a gap of BC bytes at HL in the program text (the space has been checked) and
; corrects the links that follow it. Keeps HL and BC.
mem_open::
        push    bc
        push    hl
        ld      hl, (txtend)
        inc     hl                      ; the last byte of the text
        pop     de
        push    de
        push    hl
        or      a
        sbc     hl, de
        inc     hl                      ; bytes to move
        ex      (sp), hl                ; HL = last byte; (SP) = count
        push    hl
        add     hl, bc
        ex      de, hl                  ; DE = the new last byte
        pop     hl
        pop     bc
        lddr
        pop     hl                      ; the gap
        pop     bc
        push    hl
        ld      hl, (txtend)
        add     hl, bc
        ld      (txtend), hl
        pop     hl
        push    hl
        add     hl, bc                  ; the moved line: links from it on plus BC
        ld      d, b
        ld      e, c
        push    bc
        call    relink
        pop     bc
        pop     hl
        ret

; Adds DE to every link from the line at HL to the end.
relink: ld      c, (hl)
        inc     hl
        ld      b, (hl)
        ld      a, b
        or      c
        ret     z
        push    hl
        ld      h, b
        ld      l, c
        add     hl, de
        ld      b, h
        ld      c, l
        pop     hl
        ld      (hl), b
        dec     hl
        ld      (hl), c
        ld      h, b
        ld      l, c
        jr      relink

; The number of a line-number argument at HL (a number token, as LIST and DELETE take
; them): DE = it, HL after it, NC. C and nothing moved when there is none.
get_linenum::
        ld      a, (hl)
        call    skip_txt                ; A = the number token
        cp      #T_FLT                  ; above 32767
        jr      z, 4$
        cp      #T_INT
        jr      z, 2$
        cp      #T_LINE
        jr      z, 2$
        scf
        ret
2$:     inc     hl
        ld      e, (hl)
        inc     hl
        ld      d, (hl)
        cp      #T_LINE
        jr      nz, 3$
        inc     hl
        inc     hl
3$:     rst     0x10
        or      a
        ret
4$:     inc     hl
        call    fp_ld_fac_hl
        inc     hl
        inc     hl
        inc     hl
        push    hl
        call    fp_to_u16
        ex      de, hl
        pop     hl
        jr      3$

; [from][-[to]]: DE = from, BC = to (0 and 65535 when not given).
line_range::
        ld      de, #0
        call    get_linenum
        push    de
        ld      bc, #0xFFFF
        jr      c, 1$
        ld      b, d
        ld      c, e
1$:     ld      a, (hl)
        cp      #'-
        jr      nz, 2$
        rst     0x10
        ld      bc, #0xFFFF
        push    bc
        call    get_linenum
        pop     bc
        jr      c, 2$
        ld      b, d
        ld      c, e
2$:     pop     de
        ret

; LIST [from][-[to]]
st_list::
        call    line_range
list_lines::
        push    hl
        push    bc
        call    prg_find
        pop     bc
1$:     ld      a, (hl)                 ; the end?
        inc     hl
        or      (hl)
        dec     hl
        jr      z, 3$
        push    hl
        inc     hl
        inc     hl
        ld      e, (hl)
        inc     hl
        ld      d, (hl)
        ld      h, b
        ld      l, c
        or      a
        sbc     hl, de                  ; past "to"?
        pop     hl
        jr      c, 3$
        push    bc
        push    hl
        call    list_line
        ld      a, #13
        call    prt_chr
        pop     hl
        pop     bc
        ld      a, (brkflag)            ; Ctrl+C stops it
        or      a
        jr      nz, 3$
        ld      a, (hl)
        inc     hl
        ld      h, (hl)
        ld      l, a
        jr      1$
3$:     pop     hl
        ret

; String functions: LEN, ASC, CHR$, LEFT$, MID$, RIGHT$, STR$, VAL, INSTR, STRING$, HEX$
; and INKEY$. Each is entered with HL after its word and leaves its value as an operand.
        .module strfn
        .include "basic.inc"

        .area   _DATA
sf_buf:         .ds     42
sf_a:           .ds     1
sf_start:       .ds     1

        .area   _RCODE1

; (string): DE = its temporary, HL after the bracket.
arg_str:
        rst     0x08
        .db     '(
        call    eval_str
        push    de
        rst     0x08
        .db     ')
        pop     de
        ret

; LEN(s$)
fn_len::
        call    arg_str
        push    hl
        call    str_use
; A as an integer value; the text pointer on the stack.
ret_byte:
        ld      l, a
        ld      h, #0
        call    ret_int
        pop     hl
        rst     0x20
        ret

; ASC(s$): the code of the first character.
fn_asc::
        call    arg_str
        push    hl
        call    str_use
        or      a
        jp      z, err_illegal
        ld      a, (hl)
        jr      ret_byte

; CHR$(n)
fn_chrs::
        call    arg_byte1
        push    hl
        ld      (sf_buf), a
        ld      de, #sf_buf
        ld      c, #1
; A new string of the C characters at DE (not in string space) as the value.
ret_copy:
        ld      a, c
        or      a
        jr      z, 2$
        push    de
        call    str_alloc
        pop     de
        push    hl
        ex      de, hl
        ld      c, a
        ld      b, #0
        ldir
        pop     de
2$:     call    str_own_temp
        pop     hl
        rst     0x20
        ret

; LEFT$(s$, n), RIGHT$(s$, n), MID$(s$, start[, n])
fn_lefts::
        call    sub_args
        ld      c, #0
        jr      sub_take
fn_rights::
        call    sub_args
        ld      a, (de)                 ; the offset: length - n, at least 0
        sub     b
        jr      nc, 1$
        xor     a
1$:     ld      c, a
        jr      sub_take
fn_mids::
        rst     0x08
        .db     '(
        call    eval_str
        push    de
        rst     0x08
        .db     ',
        call    eval_byte
        or      a
        jp      z, err_illegal
        dec     a
        ld      (sf_start), a
        ld      b, #255
        rst     0x20
        cp      #',
        jr      nz, 1$
        rst     0x10
        call    eval_byte
        ld      b, a
1$:     push    bc
        rst     0x08
        .db     ')
        pop     bc
        pop     de
        ld      a, (sf_start)
        ld      c, a
; B characters from offset C of the string DE, cut to what it has: the value.
sub_take:
        push    hl
        ld      a, (de)                 ; the length
        sub     c
        jr      nc, 1$
        xor     a                       ; the offset is past the end
1$:     cp      b
        jr      nc, 2$
        ld      b, a
2$:     ld      a, b
        push    bc
        push    de
        or      a
        jr      z, 3$
        call    str_alloc               ; may move the source: read it afterwards
3$:     pop     de
        pop     bc
        push    hl
        push    bc
        call    str_use                 ; HL = the source's characters
        pop     bc
        ld      a, c
        add     a, l
        ld      l, a
        jr      nc, 4$
        inc     h
4$:     pop     de
        push    de
        ld      a, b
        ld      c, b
        ld      b, #0
        or      a
        jr      z, 5$
        ldir
5$:     pop     de
        call    str_own_temp
        pop     hl
        rst     0x20
        ret

; (s$, n): DE = the string's temporary, B = n.
sub_args:
        rst     0x08
        .db     '(
        call    eval_str
        push    de
        rst     0x08
        .db     ',
        call    eval_byte
        push    af
        rst     0x08
        .db     ')
        pop     bc
        pop     de
        ret

; STR$(x): the number as PRINT shows it, without the blank after it.
fn_strs::
        call    fn_arg
        push    hl
        call    num_text
        ld      d, h
        ld      e, l
        call    str_len
        ld      c, b
        jp      ret_copy

; HL = the value (a number) as text: a blank or minus, then the digits.
num_text::
        ld      a, (valtyp)
        cp      #VT_INT
        jp      nz, fp_fout
        ld      hl, (fac)
        ld      c, #0x20
        bit     7, h
        jr      z, 1$
        call    neg_hl
        ld      c, #'-
1$:     push    bc
        call    fmt_uint
        pop     bc
        dec     hl
        ld      (hl), c
        ret

; VAL(s$): the number at the start of the string, 0 if there is none.
fn_val::
        call    arg_str
        push    hl
        call    str_use
        ld      de, #sf_buf             ; a copy ending in 0, at most 40 characters
        ld      a, b
        cp      #40
        jr      c, 1$
        ld      b, #40
1$:     ld      a, b
        or      a
        jr      z, 3$
2$:     ld      a, (hl)
        ld      (de), a
        inc     hl
        inc     de
        djnz    2$
3$:     xor     a
        ld      (de), a
        ld      hl, #sf_buf
        call    skip_blanks
        cp      #'&
        jr      z, 5$
        call    fp_fin
        jr      nc, 4$
        ld      hl, #0
        jr      6$
4$:     ld      a, #VT_FLT
        ld      (valtyp), a
        pop     hl
        rst     0x20
        ret
5$:     call    hex_value               ; &Hnnnn
6$:     call    ret_int
        pop     hl
        rst     0x20
        ret

; &H and hex digits at HL: HL = the 16-bit value (0 when there are none).
hex_value:
        inc     hl
        ld      a, (hl)
        call    up_letter
        ld      de, #0
        cp      #'H
        jr      nz, 3$
1$:     inc     hl
        ld      a, (hl)
        call    up_letter
        sub     #'0
        jr      c, 3$
        cp      #10
        jr      c, 2$
        sub     #'A - '0 - 10
        cp      #10
        jr      c, 3$
        cp      #16
        jr      nc, 3$
2$:     ex      de, hl
        add     hl, hl
        add     hl, hl
        add     hl, hl
        add     hl, hl
        or      l
        ld      l, a
        ex      de, hl
        jr      1$
3$:     ex      de, hl
        ret

; INSTR([start,] s$, t$): where t$ first occurs in s$ at or after start (from 1), 0 if not.
fn_instr::
        rst     0x08
        .db     '(
        call    eval
        ld      a, #1
        ld      (sf_start), a
        ld      a, (valtyp)
        cp      #VT_STR
        jr      z, 1$
        push    hl
        call    to_int
        ld      a, h
        or      a
        jp      nz, err_illegal
        ld      a, l
        or      a
        jp      z, err_illegal
        ld      (sf_start), a
        pop     hl
        rst     0x08
        .db     ',
        call    eval_str
1$:     ld      de, (fac)
        push    de
        rst     0x08
        .db     ',
        call    eval_str
        push    de
        rst     0x08
        .db     ')
        pop     de                      ; t$
        pop     bc                      ; s$
        push    hl
        push    bc
        call    str_use
        ld      (sf_buf), hl            ; t$: its characters and length
        ld      a, b
        ld      (sf_buf + 2), a
        pop     de
        call    str_use                 ; s$
        ld      a, (sf_start)
        dec     a
        ld      c, a                    ; C = the offset tried
        ld      e, a
        ld      d, #0
        add     hl, de
2$:     ld      a, (sf_buf + 2)         ; does t$ fit from offset C?
        add     a, c
        jr      c, 6$
        cp      b
        jr      z, 3$
        jr      nc, 6$
3$:     push    hl
        push    bc
        ld      de, (sf_buf)
        ld      a, (sf_buf + 2)
        or      a
        jr      z, 5$
        ld      b, a
4$:     ld      a, (de)
        cp      (hl)
        jr      nz, 41$
        inc     hl
        inc     de
        djnz    4$
5$:     pop     bc                      ; found at C
        pop     hl
        ld      a, c
        inc     a
        jp      ret_byte
41$:    pop     bc
        pop     hl
        inc     hl
        inc     c
        jr      2$
6$:     xor     a
        jp      ret_byte

; STRING$(n, code) or STRING$(n, s$): n copies of the character.
fn_strings::
        rst     0x08
        .db     '(
        call    eval_byte
        push    af
        rst     0x08
        .db     ',
        call    eval
        ld      a, (valtyp)
        cp      #VT_STR
        jr      nz, 1$
        ld      de, (fac)
        push    hl
        call    str_use
        or      a
        jp      z, err_illegal
        ld      a, (hl)
        pop     hl
        jr      2$
1$:     push    hl
        call    to_int
        ld      a, h
        or      a
        jp      nz, err_illegal
        ld      a, l
        pop     hl
2$:     ld      (sf_a), a
        rst     0x08
        .db     ')
        pop     af
        push    hl
        ld      c, a
        or      a
        jr      z, 4$
        call    str_alloc
        push    hl
        ld      b, c
        ld      a, (sf_a)
3$:     ld      (hl), a
        inc     hl
        djnz    3$
        pop     de
4$:     ld      a, c
        call    str_own_temp
        pop     hl
        rst     0x20
        ret

; HEX$(n): the 16-bit pattern of n in hexadecimal, without leading zeros.
fn_hexs::
        call    fn_arg
        push    hl
        cp      #VT_INT
        ld      hl, (fac)
        call    nz, fp_to_u16
        ld      de, #sf_buf
        ld      b, #4
        ld      c, #0                   ; digits so far
1$:     xor     a
        add     hl, hl
        rla
        add     hl, hl
        rla
        add     hl, hl
        rla
        add     hl, hl
        rla
        or      a
        jr      nz, 2$
        bit     0, c
        jr      nz, 2$
        ld      a, b
        dec     a
        jr      z, 2$                   ; the last digit always shows
        jr      3$
2$:     ld      c, #1
        add     a, #'0
        cp      #'9 + 1
        jr      c, 21$
        add     a, #'A - '9 - 1
21$:    ld      (de), a
        inc     de
3$:     djnz    1$
        ex      de, hl
        ld      de, #sf_buf
        or      a
        sbc     hl, de
        ld      c, l
        jp      ret_copy

; INKEY$: the key waiting, or "" at once when there is none.
fn_inkeys::
        push    hl
        call    con_inkey
        ld      (sf_buf), a
        ld      de, #sf_buf
        ld      c, #1
        or      a
        jp      nz, ret_copy
        ld      c, a
        jp      ret_copy

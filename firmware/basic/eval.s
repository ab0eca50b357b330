; The expression evaluator. An expression is read by precedence climbing: an operand, then
; operators of at least the given strength, each with its right side read one strength
; higher. The value ends in `valtyp` and `fac`: a number in FAC (VT_FLT), a 16-bit integer
; in fac+0 and fac+1 (VT_INT), or the address of a temporary string descriptor in fac+0 and
; fac+1 (VT_STR). Text pointer conventions: HL points at the first byte of what is to be
; read, blanks already skipped; on return it points at the first byte after it, blanks
; skipped, with A holding that byte and Z set at ':' or the end of the line.
        .module eval
        .include "basic.inc"

STACK_LIMIT     = STACK_BOTTOM + 0x80   ; below this the evaluation has nested too deep

; Operator strengths.
P_XOR   = 1
P_OR    = 2
P_AND   = 3
P_NOT   = 4
P_REL   = 5
P_ADD   = 6
P_MOD   = 7
P_IDIV  = 8
P_MUL   = 9
P_NEG   = 10
P_POW   = 11

        .area   _DATA
valtyp::        .ds     1
fac2:           .ds     4               ; scratch while both operands become numbers

        .area   _RCODE2

; Evaluates a whole expression.
eval::  ld      d, #1
; Evaluates operators of strength D and above.
eval_d: ld      bc, #-STACK_LIMIT       ; is there room to nest further?
        push    hl
        ld      hl, #0
        add     hl, sp
        add     hl, bc
        pop     hl
        jp      nc, err_memory
        push    de
        call    operand
ev_loop:
        call    op_find                 ; C = operator, B = its strength; Z: none
        jr      z, ev_done
        pop     de
        push    de
        ld      a, b
        cp      d
        jr      c, ev_done
        inc     hl                      ; over the operator, to the right operand
        rst     0x20
        push    bc                      ; the operator
        ld      a, (valtyp)             ; the left value
        ld      de, (fac)
        push    de
        ld      de, (fac + 2)
        push    de
        push    af
        ld      d, b
        inc     d
        call    eval_d
        pop     af                      ; A = the left value's type
        pop     bc                      ; BCDE = the left value
        pop     de
        ex      (sp), hl                ; the operator; the text pointer kept on the stack
        push    de
        ld      e, l
        ld      d, #0
        ld      hl, #op_table - 2
        add     hl, de
        add     hl, de
        ld      e, (hl)
        inc     hl
        ld      d, (hl)
        ex      de, hl
        pop     de
        call    jphl                    ; the operation: A type, BCDE left, FAC right
        pop     hl
        rst     0x20
        jr      ev_loop
ev_done:
        pop     de
        ld      a, (hl)                 ; A and flags as CHRGOT leaves them
        cp      #':
        ret     z
        cp      #TK_REMQ
        ret     z
        or      a
        ret

jphl::  jp      (hl)

; C = the operator at A (1 to 16), B = its strength; Z when A is no operator.
op_find::
        cp      #0x2A
        jr      c, 2$
        cp      #0x5F
        jr      nc, 1$
        sub     #0x2A
        ld      c, a
        ld      b, #0
        push    hl
        ld      hl, #op_chars
        jr      3$
1$:     cp      #TK_AND
        jr      c, 2$
        cp      #TK_NE + 1
        jr      nc, 2$
        sub     #TK_AND
        ld      c, a
        ld      b, #0
        push    hl
        ld      hl, #op_words
3$:     add     hl, bc
        ld      c, (hl)
        ld      hl, #op_strength - 1
        add     hl, bc
        ld      b, (hl)
        pop     hl
        ld      a, c
        or      a
        ret
2$:     xor     a
        ret

; Operators 1-16 by the character 0x2A-0x5E and the words AND..NE.
op_chars:
        .db     3, 1, 0, 2, 0, 4                ; * + , - . /
        .db     0, 0, 0, 0, 0, 0, 0, 0, 0, 0    ; 0-9
        .db     0, 0                            ; : ;
        .db     8, 9, 10                        ; < = >
        .db     0, 0                            ; ? @
        .db     0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0   ; A-M
        .db     0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0   ; N-Z
        .db     0, 6, 0, 5                      ; [ \ ] ^
op_words:
        .db     14, 15, 16, 7                   ; AND OR XOR MOD
        .db     0, 0, 0, 0, 0, 0, 0, 0          ; AS .. ERL
        .db     11, 12, 13                      ; <= >= <>
op_strength:
        .db     P_ADD, P_ADD, P_MUL, P_MUL, P_POW, P_IDIV, P_MOD, P_REL
        .db     P_REL, P_REL, P_REL, P_REL, P_REL, P_AND, P_OR, P_XOR
op_table:
        .dw     op_add, op_sub, op_mul, op_div, op_pow, op_idiv, op_mod, op_lt
        .dw     op_eq, op_gt, op_le, op_ge, op_ne, op_and, op_or, op_xor

; An operand: a constant, a variable, a string, a function, a bracket, or a unary operator
; with its operand.
operand::
        ld      a, (hl)
        or      a
        jp      z, err_missing
        cp      #':
        jp      z, err_missing
        cp      #0x0B
        jr      c, opd_token
        cp      #'"
        jp      z, opd_string
        cp      #'(
        jr      z, opd_paren
        cp      #'-
        jr      z, opd_neg
        cp      #'+
        jr      z, opd_plus
        cp      #TK_INT
        jp      nc, opd_function
        cp      #TK_NOT
        jr      z, opd_not
        cp      #TK_FN
        jp      z, fn_call
        cp      #TK_TIME
        jp      z, fn_time
        cp      #TK_ERR
        jp      z, fn_err
        cp      #TK_ERL
        jp      z, fn_erl
        jp      err_missing

opd_plus:
        rst     0x10
        jr      operand

opd_paren:
        rst     0x10
        call    eval
        rst     0x08
        .db     ')
        ret

opd_neg:
        rst     0x10
        ld      d, #P_NEG
        call    eval_d
        push    hl
        call    negate
        pop     hl
        rst     0x20
        ret

opd_not:
        rst     0x10
        ld      d, #P_NOT
        call    eval_d
        push    hl
        call    to_int
        ld      a, l
        cpl
        ld      l, a
        ld      a, h
        cpl
        ld      h, a
        call    ret_int
        pop     hl
        rst     0x20
        ret

; A number or a variable in the program text.
opd_token:
        cp      #T_INT
        jr      nz, 1$
        inc     hl
        ld      e, (hl)
        inc     hl
        ld      d, (hl)
        ld      (fac), de
        ld      a, #VT_INT
        ld      (valtyp), a
        rst     0x10
        ret
1$:     cp      #T_VAR
        jr      z, opd_fvar
        jr      c, 2$
        cp      #T_VAR + 1
        jr      z, opd_ivar
        cp      #T_VAR + 2
        jr      z, opd_svar
        call    arr_elem                ; DE = the element, A = its type
        jr      opd_load
2$:     cp      #T_FLT
        jr      nz, 3$
        inc     hl
        call    fp_ld_fac_hl
        inc     hl
        inc     hl
        inc     hl
        ld      a, #VT_FLT
        ld      (valtyp), a
        rst     0x10
        ret
3$:     cp      #T_TXT
        jp      nz, err_syntax
        inc     hl                      ; the typed text is for listing only
        ld      a, (hl)
        inc     a
        add     a, l
        ld      l, a
        jp      nc, operand
        inc     h
        jp      operand

; A number variable: its slot gives its value at once.
opd_fvar:
        inc     hl
        ld      e, (hl)
        inc     hl
        ld      d, (hl)
        ld      a, d
        or      e
        call    z, var_resolve
        inc     hl
        ld      a, (hl)                 ; over the name
        add     a, l
        ld      l, a
        jr      nc, 1$
        inc     h
1$:     ex      de, hl
        ld      c, (hl)
        inc     hl
        ld      b, (hl)
        inc     hl
        ld      (fac), bc
        ld      c, (hl)
        inc     hl
        ld      b, (hl)
        ld      (fac + 2), bc
        ex      de, hl
        ld      a, #VT_FLT
        ld      (valtyp), a
        rst     0x10
        ret

opd_ivar:
        inc     hl
        ld      e, (hl)
        inc     hl
        ld      d, (hl)
        ld      a, d
        or      e
        call    z, var_resolve
        inc     hl
        ld      a, (hl)
        add     a, l
        ld      l, a
        jr      nc, 1$
        inc     h
1$:     ex      de, hl
        ld      c, (hl)
        inc     hl
        ld      b, (hl)
        ld      (fac), bc
        ex      de, hl
        ld      a, #VT_INT
        ld      (valtyp), a
        rst     0x10
        ret

opd_svar:
        call    var_addr
        ld      a, #VT_STR
; The value of type A at DE.
opd_load:
        ld      (valtyp), a
        push    hl
        ex      de, hl
        cp      #VT_STR
        jr      z, 2$
        ld      de, #fac
        ld      bc, #4
        ldir
1$:     pop     hl
        rst     0x20
        ret
2$:     call    str_temp_of             ; a temporary copy of the descriptor at HL
        ld      (fac), hl
        jr      1$

; A string constant: a temporary descriptor pointing into the text.
opd_string:
        inc     hl
        ld      d, h
        ld      e, l
        ld      b, #0
1$:     ld      a, (hl)
        or      a
        jr      z, 2$                   ; no closing quote: the line's end closes it
        inc     hl
        cp      #'"
        jr      z, 2$
        inc     b
        jr      1$
2$:     push    hl
        ld      a, b
        call    str_temp                ; descriptor: length A, data DE
        ld      (fac), hl
        ld      a, #VT_STR
        ld      (valtyp), a
        pop     hl
        rst     0x20
        ret

; Functions: the word, usually a bracket with arguments.
opd_function:
        cp      #TK_LAST + 1
        jp      nc, err_syntax
        sub     #TK_INT
        add     a, a
        ld      e, a
        ld      d, #0
        push    hl
        ld      hl, #fn_table
        add     hl, de
        ld      e, (hl)
        inc     hl
        ld      d, (hl)
        pop     hl
        push    de
        rst     0x10                    ; over the word
        ret

; Evaluates a bracketed argument: numeric to FAC as a number.
arg_num::
        rst     0x08
        .db     '(
        call    eval_num
        rst     0x08
        .db     ')
        ret

; Evaluates an expression that must be a number; leaves it as a number in FAC.
eval_num::
        call    eval
; Makes the value a number in FAC (an integer is converted); strings are a type mismatch.
to_flt::
        ld      a, (valtyp)
        cp      #VT_FLT
        ret     z
        cp      #VT_STR
        jp      z, err_type
        push    hl
        ld      hl, (fac)
        call    fp_from_int
        pop     hl
        ld      a, #VT_FLT
        ld      (valtyp), a
        ret

; Evaluates an expression that must be a number and returns it in DE as an integer
; (-32768..32767). Keeps HL as the text pointer.
eval_int::
        call    eval
        push    hl
        call    to_int
        ex      de, hl
        pop     hl
        ld      a, (hl)
        ret

; The value as an integer in HL (a number is rounded; "Overflow" outside 16 bits).
to_int::
        ld      a, (valtyp)
        cp      #VT_INT
        jr      nz, 1$
        ld      hl, (fac)
        ret
1$:     cp      #VT_STR
        jp      z, err_type
        jp      fp_to_int

; Evaluates an expression for a byte (0..255) into A and E.
eval_byte::
        call    eval_int
        ld      a, d
        or      a
        jp      nz, err_illegal
        ld      a, e
        ret

; Evaluates a string expression: DE = its temporary descriptor.
eval_str::
        call    eval
        ld      a, (valtyp)
        cp      #VT_STR
        jp      nz, err_type
        ld      de, (fac)
        ld      a, (hl)
        ret

; An integer result in HL.
ret_int::
        ld      (fac), hl
        ld      a, #VT_INT
        ld      (valtyp), a
        ret

; Negates the value.
negate:: ld      a, (valtyp)
        cp      #VT_INT
        jr      nz, 1$
        ld      hl, (fac)
        ld      a, h
        cp      #0x80
        jr      nz, 2$
        ld      a, l
        or      a
        jr      z, 3$                   ; -(-32768) needs floating point
2$:     call    neg_hl
        ld      (fac), hl
        ret
3$:     call    fp_from_int
        call    fp_neg
        ld      a, #VT_FLT
        ld      (valtyp), a
        ret
1$:     cp      #VT_STR
        jp      z, err_type
        jp      fp_neg

; ---- Operators: A = the left value's type, BCDE the left value, FAC the right. ----

; Both numbers: the left in BCDE and the right in FAC. Z when both are integers (DE left,
; fac+0 right); otherwise NZ, both floating point. A string on either side is a type
; mismatch.
num_pair::
        cp      #VT_STR
        jp      z, err_type
        ld      l, a
        ld      a, (valtyp)
        cp      #VT_STR
        jp      z, err_type
        cp      l
        jr      nz, 2$
        cp      #VT_INT
        ret                             ; Z: both integers
2$:     cp      #VT_INT                 ; the right an integer: FAC becomes a number
        jr      nz, 3$
        push    bc
        push    de
        ld      hl, (fac)
        call    fp_from_int
        pop     de
        pop     bc
        jr      4$
3$:     push    bc                      ; the left an integer: it becomes a number in BCDE
        ld      hl, (fac)
        ld      (fac2), hl
        ld      hl, (fac + 2)
        ld      (fac2 + 2), hl
        ex      de, hl
        call    fp_from_int
        call    fp_ld_bcde_fac
        ld      hl, (fac2)
        ld      (fac), hl
        ld      hl, (fac2 + 2)
        ld      (fac + 2), hl
        pop     hl                      ; drop the saved BC
4$:     ld      a, #VT_FLT
        ld      (valtyp), a
        or      a                       ; NZ
        ret

; Both operands as floating point.
flt_pair::
        call    num_pair
        ret     nz
        push    de                      ; both integers
        ld      hl, (fac)
        call    fp_from_int
        pop     hl
        ld      (fac2), hl
        ld      hl, (fac)
        ld      de, (fac + 2)
        push    hl
        push    de
        ld      hl, (fac2)
        call    fp_from_int
        call    fp_ld_bcde_fac
        pop     hl
        ld      (fac + 2), hl
        pop     hl
        ld      (fac), hl
        ld      a, #VT_FLT
        ld      (valtyp), a
        ret

op_add: cp      #VT_STR
        jp      z, str_concat
        call    num_pair
        jp      nz, fp_add
        ld      hl, (fac)
        or      a
        adc     hl, de
        jp      po, ret_int
        call    flt_again
        jp      fp_add

op_sub: call    num_pair
        jp      nz, fp_sub
        ld      hl, (fac)
        ex      de, hl
        push    hl
        or      a
        sbc     hl, de
        pop     de
        jp      po, ret_int
        call    flt_again
        jp      fp_sub

op_mul: call    num_pair
        jp      nz, fp_mul
        push    de
        ld      hl, (fac)
        call    imul                    ; HL = HL * DE; C on overflow
        pop     de
        jp      nc, ret_int
        call    flt_again
        jp      fp_mul

; An integer operation overflowed: the left integer is in DE, the right in fac. Both
; become floating point.
flt_again:
        ld      a, #VT_INT
        ld      (valtyp), a
        ld      a, #VT_INT
        jp      flt_pair

op_div: call    flt_pair
        jp      fp_div

op_pow: call    flt_pair
        jp      fp_pow

; Integer division, MOD, AND, OR, XOR: both sides as integers; DE left, HL right.
int_pair::
        cp      #VT_STR
        jp      z, err_type
        cp      #VT_INT
        jr      z, 1$
        push    de                      ; the left number to an integer
        push    bc
        ld      hl, (fac)
        ld      (fac2), hl
        ld      hl, (fac + 2)
        ld      (fac2 + 2), hl
        pop     bc
        pop     de
        call    fp_ld_fac_bcde
        call    fp_to_int
        ex      de, hl
        ld      hl, (fac2)
        ld      (fac), hl
        ld      hl, (fac2 + 2)
        ld      (fac + 2), hl
1$:     push    de
        call    to_int
        pop     de
        ret

op_idiv:
        call    int_pair
        call    idiv                    ; HL = DE / HL
        jp      ret_int

op_mod: call    int_pair
        call    idiv
        ex      de, hl                  ; the remainder
        jp      ret_int

op_and: call    int_pair
        ld      a, h
        and     d
        ld      h, a
        ld      a, l
        and     e
        ld      l, a
        jp      ret_int

op_or:  call    int_pair
        ld      a, h
        or      d
        ld      h, a
        ld      a, l
        or      e
        ld      l, a
        jp      ret_int

op_xor: call    int_pair
        ld      a, h
        xor     d
        ld      h, a
        ld      a, l
        xor     e
        ld      l, a
        jp      ret_int

; Comparisons: -1 true, 0 false. compare gives A = 1, 0 or 0xFF as the left value is above,
; equal to or below the right one.
op_lt:  call    compare
        inc     a
        jr      truth_z                 ; A was 0xFF
op_gt:  call    compare
        dec     a
        jr      truth_z
op_eq:  call    compare
        or      a
        jr      truth_z
op_ne:  call    compare
        or      a
        jr      truth_nz
op_le:  call    compare
        dec     a
        jr      truth_nz
op_ge:  call    compare
        inc     a
        jr      truth_nz
truth_z:
        ld      hl, #0
        jp      nz, ret_int
        dec     hl
        jp      ret_int
truth_nz:
        ld      hl, #0
        jp      z, ret_int
        dec     hl
        jp      ret_int

compare::
        cp      #VT_STR
        jp      z, str_compare
        call    num_pair
        jr      z, 1$
        call    fp_cmp                  ; A = sign of (FAC - BCDE): right against left
        neg
        ret
1$:     ld      hl, (fac)               ; integers: DE left, HL right
; A = 1, 0 or 0xFF as DE is above, equal to or below HL, both signed.
icmp::  ld      a, h
        xor     d
        jp      m, 3$                   ; signs differ
        ex      de, hl
        or      a
        sbc     hl, de
        ld      a, #0
        ret     z
2$:     ld      a, #1
        ret     nc
        ld      a, #0xFF
        ret
3$:     ld      a, d                    ; the left is above when it is the non-negative one
        rla
        jr      2$

; HL = HL * DE, signed. Carry set when the product does not fit 16 bits.
imul::  ld      a, h
        xor     d
        push    af                      ; the sign of the product
        bit     7, h
        call    nz, neg_hl
        ex      de, hl
        bit     7, h
        call    nz, neg_hl
        ld      a, h                    ; both above 255: too large
        or      a
        jr      z, 1$
        ld      a, d
        or      a
        jr      nz, 5$
        ex      de, hl
1$:     ld      b, l                    ; H = 0: DE * L
        ld      hl, #0
        ld      a, b
        ld      b, #8
2$:     add     hl, hl
        jr      c, 5$
        rla
        jr      nc, 3$
        add     hl, de
        jr      c, 5$
3$:     djnz    2$
        pop     af
        jp      p, 4$
        call    neg_hl
        ld      a, h                    ; -32768 fits, nothing below
        or      a
        ret     m
        or      l
        ret     z
        scf
        ret
4$:     bit     7, h
        ret     z
        scf
        ret
5$:     pop     af
        scf
        ret

; HL = DE / HL (truncated toward zero), DE = the remainder (the sign of the dividend).
; "Division by zero" when HL is 0.
idiv::  ld      a, h
        or      l
        jp      z, err_divzero
        ld      a, d
        push    af                      ; the remainder's sign
        xor     h
        push    af                      ; the quotient's sign
        bit     7, h
        call    nz, neg_hl
        ld      b, h
        ld      c, l
        ex      de, hl
        bit     7, h
        call    nz, neg_hl
        ex      de, hl                  ; DE = dividend, BC = divisor
        ld      hl, #0
        ld      a, #16
1$:     sla     e
        rl      d
        adc     hl, hl
        sbc     hl, bc
        jr      nc, 2$
        add     hl, bc
        jr      3$
2$:     inc     e
3$:     dec     a
        jr      nz, 1$
        ex      de, hl                  ; HL = quotient, DE = remainder
        pop     af
        jp      m, 4$
        bit     7, h                    ; -32768 \ -1 does not fit
        jp      nz, err_overflow
        jr      5$
4$:     call    neg_hl
5$:     pop     af
        or      a
        ret     p
        ex      de, hl
        call    neg_hl
        ex      de, hl
        ret

; Functions: the numeric ones, the table of all of them, user functions (DEF FN), TIME and
; RANDOMIZE. A function is entered with HL after its word; it leaves its value as the
; evaluator's operands do.
        .module funcs
        .include "basic.inc"

MAXPARAMS       = 8

        .area   _DATA
fn_args:        .ds     4 * MAXPARAMS
fn_types:       .ds     MAXPARAMS
fn_n:           .ds     1
fn_k:           .ds     1
fn_ptr:         .ds     2
fn_caller:      .ds     2
fn_padr:        .ds     2 * MAXPARAMS
fn_ptype:       .ds     MAXPARAMS
fn_save:        .ds     4

        .area   _RCODE1

fn_table::
        .dw     fn_int, fn_sgn, fn_abs, fn_sqr, fn_sin, fn_cos, fn_tan, fn_atn
        .dw     fn_log, fn_exp, fn_rnd, fn_fre, fn_pos, fn_len, fn_asc, fn_chrs
        .dw     fn_lefts, fn_mids, fn_rights, fn_strs, fn_val, fn_instr, fn_strings, fn_hexs
        .dw     fn_inkeys, fn_peek, fn_inp, fn_usr, fn_eof, fn_point

; One number argument, then the routine DE on the FAC.
fn_int: ld      de, #fp_int
        jr      fn_num
fn_sqr: ld      de, #fp_sqr
        jr      fn_num
fn_sin: ld      de, #fp_sin
        jr      fn_num
fn_cos: ld      de, #fp_cos
        jr      fn_num
fn_tan: ld      de, #fp_tan
        jr      fn_num
fn_atn: ld      de, #fp_atn
        jr      fn_num
fn_log: ld      de, #fp_log
        jr      fn_num
fn_exp: ld      de, #fp_exp
        jr      fn_num
fn_rnd: ld      de, #fp_rnd
fn_num: push    de
        call    arg_num
        pop     de
        push    hl
        ex      de, hl
        call    jphl
        pop     hl
        rst     0x20
        ret

fn_abs: call    fn_arg
        cp      #VT_INT
        jr      nz, 1$
        ld      a, (fac + 1)
        or      a
        ret     p
        push    hl
        call    negate
        pop     hl
        rst     0x20
        ret
1$:     push    hl
        call    fp_abs
        pop     hl
        rst     0x20
        ret

fn_sgn: call    fn_arg
        push    hl
        cp      #VT_INT
        jr      nz, 1$
        ld      hl, (fac)
        ld      a, h
        or      l
        jr      z, 2$
        bit     7, h
        ld      hl, #1
        jr      z, 2$
        ld      hl, #-1
        jr      2$
1$:     call    fp_sgn
        ld      l, a
        rlca
        sbc     a, a
        ld      h, a
2$:     call    ret_int
        pop     hl
        rst     0x20
        ret

; A number argument in brackets, kept as it came: A = its type.
fn_arg:: rst     0x08
        .db     '(
        call    eval
        rst     0x08
        .db     ')
        ld      a, (valtyp)
        cp      #VT_STR
        jp      z, err_type
        ret

; FRE(x): the free bytes after collecting the strings.
fn_fre: rst     0x08
        .db     '(
        call    eval
        ld      a, (valtyp)
        cp      #VT_STR
        jr      nz, 1$
        ld      de, (fac)
        call    str_use
1$:     rst     0x20
        rst     0x08
        .db     ')
        push    hl
        call    str_gc
        call    free_bytes
        call    fp_from_u16
        ld      a, #VT_FLT
        ld      (valtyp), a
        pop     hl
        rst     0x20
        ret

; POS(x): the cursor's column, from 0.
fn_pos: call    fn_arg
        push    hl
        call    chan_col
ret_a:  ld      l, a
        ld      h, #0
        call    ret_int
        pop     hl
        rst     0x20
        ret

; PEEK(address)
fn_peek:
        rst     0x08
        .db     '(
        call    eval_addr
        rst     0x08
        .db     ')
        push    hl
        ld      a, (de)
        jr      ret_a

; INP(port)
fn_inp: call    arg_byte1
        push    hl
        ld      c, a
        in      a, (c)
        jr      ret_a

; (n) for a byte, HL at the bracket.
arg_byte1::
        rst     0x08
        .db     '(
        call    eval_byte
        push    af
        rst     0x08
        .db     ')
        pop     af
        ret

; USR(address[, value]): machine code at the address, called with HL = value; its HL
; comes back as an integer.
fn_usr: rst     0x08
        .db     '(
        call    eval_addr
        push    de
        ld      de, #0
        rst     0x20
        cp      #',
        jr      nz, 1$
        rst     0x10
        call    eval_int
1$:     rst     0x08
        .db     ')
        pop     bc
        push    hl
        ex      de, hl
        ld      de, #2$
        push    de
        push    bc
        ret
2$:     call    ret_int
        pop     hl
        rst     0x20
        ret

; TIME: the 50 Hz ticks since start-up.
fn_time::
        push    hl
1$:     ld      hl, (ticks)
        ld      a, (ticks + 2)
        ld      de, (ticks)             ; the NMI may have counted in between
        push    hl
        or      a
        sbc     hl, de
        pop     hl
        jr      nz, 1$
        call    fp_from_u24
        ld      a, #VT_FLT
        ld      (valtyp), a
        pop     hl
        rst     0x10
        ret

; TIME = value (0 to 65535)
st_time::
        rst     0x08
        .db     '=
        call    eval_addr
        xor     a
        ld      (ticks + 2), a
        ld      (ticks), de
        ret

; RANDOMIZE [seed]: without a seed, from the clock.
st_randomize::
        jr      z, 1$
        call    eval_int
        push    hl
        ex      de, hl
        jr      2$
1$:     push    hl
        ld      hl, (ticks)
2$:     call    fp_seed
        pop     hl
        ret

; DEF FNname[(parameter, ...)] = expression
st_def::
        cp      #TK_FN
        jp      nz, err_syntax
        ld      de, (curlin)
        ld      a, d
        or      e
        jp      z, err_direct
        rst     0x10
        call    fn_addr
        ex      de, hl
        ld      (hl), e
        inc     hl
        ld      (hl), d
        ex      de, hl
; Skips to the end of the statement.
skip_stmt::
        ld      a, (hl)
        or      a
        ret     z
        cp      #':
        ret     z
        call    skip_token
        jr      skip_stmt

; The entry of the user function named by the token at HL: DE = its value (the address of
; its definition), HL after the token.
fn_addr:
        ld      a, (hl)
        cp      #T_VAR
        jp      c, err_syntax
        cp      #T_ARR + 3
        jp      nc, err_syntax
        inc     hl
        ld      e, (hl)
        inc     hl
        ld      d, (hl)
        ld      a, d
        or      e
        jr      nz, 1$
        inc     hl
        ld      a, #K_FN
        call    var_find
        dec     hl
        ld      (hl), d
        dec     hl
        ld      (hl), e
        inc     hl
1$:     inc     hl
        ld      c, (hl)
        inc     hl
        ld      b, #0
        add     hl, bc
        ret

; FN name[(argument, ...)]: the parameters take the arguments for the time of the call
; and get their values back after it. While the body runs, the stack holds the caller's
; text, the function's type, one record per parameter (its address, type and old value;
; an old string is owned by its copy on the stack, so the collector keeps it) and their
; number.
fn_call::
        rst     0x10
        ld      a, (hl)
        call    tok_type
        push    af                      ; the function's type
        call    fn_addr
        ex      de, hl
        ld      a, (hl)
        inc     hl
        ld      h, (hl)
        ld      l, a
        ex      de, hl
        ld      a, d
        or      e
        jp      z, err_undeffn
        push    de                      ; the definition
        ld      b, #0
        rst     0x20
        cp      #'(
        jr      nz, 3$
1$:     push    bc                      ; the arguments, each as fac and valtyp
        rst     0x10
        call    eval
        pop     bc
        inc     b
        ld      a, b
        cp      #MAXPARAMS + 1
        jp      nc, err_syntax
        ld      de, (fac + 2)
        push    de
        ld      de, (fac)
        push    de
        ld      a, (valtyp)
        push    af
        rst     0x20
        cp      #',
        jr      z, 1$
        rst     0x08
        .db     ')
3$:     ld      a, b
        ld      (fn_n), a
        ld      (fn_caller), hl
        or      a
        jr      z, 5$
4$:     dec     b                       ; into fn_args, the last argument first
        ld      e, b
        ld      d, #0
        ld      hl, #fn_types
        add     hl, de
        pop     af
        ld      (hl), a
        ld      hl, #fn_args
        add     hl, de
        add     hl, de
        add     hl, de
        add     hl, de
        pop     de
        ld      (hl), e
        inc     hl
        ld      (hl), d
        inc     hl
        pop     de
        ld      (hl), e
        inc     hl
        ld      (hl), d
        ld      a, b
        or      a
        jr      nz, 4$
5$:     pop     hl                      ; the definition: its parameters
        xor     a
        ld      (fn_k), a
        ld      a, (hl)
        cp      #'(
        jr      nz, 8$
6$:     rst     0x10
        ld      a, (hl)
        cp      #T_VAR
        jp      c, err_syntax
        cp      #T_ARR
        jp      nc, err_syntax
        call    var_addr
        push    hl
        ld      hl, #fn_k
        ld      c, (hl)
        inc     (hl)
        ld      b, #0
        ld      hl, #fn_ptype
        add     hl, bc
        ld      (hl), a
        ld      hl, #fn_padr
        add     hl, bc
        add     hl, bc
        ld      (hl), e
        inc     hl
        ld      (hl), d
        pop     hl
        rst     0x20
        cp      #',
        jr      z, 6$
        rst     0x08
        .db     ')
8$:     rst     0x08
        .db     '=
        ld      (fn_ptr), hl
        ld      a, (fn_k)
        ld      b, a
        ld      a, (fn_n)
        cp      b
        jp      nz, err_syntax
        pop     af                      ; the function's type
        ld      hl, (fn_caller)
        push    hl
        push    af
        ld      a, (fn_n)
        or      a
        jr      z, 11$
9$:     dec     a                       ; the last parameter first
        ld      (fn_k), a
        ld      c, a
        ld      b, #0
        ld      hl, #fn_padr
        add     hl, bc
        add     hl, bc
        ld      e, (hl)
        inc     hl
        ld      d, (hl)                 ; DE = the parameter
        ld      hl, #fn_ptype
        add     hl, bc
        ld      a, (hl)
        push    de                      ; its record
        push    af
        ex      de, hl
        ld      c, (hl)
        inc     hl
        ld      b, (hl)
        inc     hl
        ld      e, (hl)
        inc     hl
        ld      d, (hl)
        push    de
        push    bc
        dec     hl
        dec     hl
        dec     hl
        cp      #VT_STR
        jr      nz, 10$
        ld      (hl), #0                ; the variable lets go of its string ...
        ld      hl, #0
        add     hl, sp
        call    str_owner               ; ... which its copy on the stack now owns
10$:    ld      a, (fn_k)               ; the argument into the parameter
        ld      c, a
        ld      b, #0
        ld      hl, #fn_types
        add     hl, bc
        ld      a, (hl)
        ld      (valtyp), a
        ld      hl, #fn_args
        add     hl, bc
        add     hl, bc
        add     hl, bc
        add     hl, bc
        ld      de, #fac
        ldi
        ldi
        ldi
        ldi
        ld      hl, #6
        add     hl, sp
        ld      e, (hl)
        inc     hl
        ld      d, (hl)                 ; the parameter
        dec     hl
        dec     hl
        ld      a, (hl)                 ; its type
        call    assign
        ld      a, (fn_k)
        or      a
        jr      nz, 9$
11$:    ld      a, (fn_n)
        push    af
        ld      hl, (fn_ptr)            ; the body
        call    eval
        call    str_private             ; a string result must not depend on a parameter
        pop     af
        or      a
        jr      z, 13$
12$:    ld      (fn_k), a               ; the parameters get their values back
        pop     de
        pop     hl
        ld      (fn_save), de
        ld      (fn_save + 2), hl
        pop     af                      ; the type
        pop     hl                      ; the variable
        push    af
        cp      #VT_STR
        call    z, str_disown
        ex      de, hl
        ld      hl, #fn_save
        ld      bc, #4
        ldir
        ex      de, hl
        ld      bc, #-4
        add     hl, bc
        pop     af
        cp      #VT_STR
        call    z, str_owner
        ld      a, (fn_k)
        dec     a
        jr      nz, 12$
13$:    pop     af                      ; the result in the function's type
        ld      b, a
        ld      a, (valtyp)
        cp      #VT_STR
        jr      z, 14$
        ld      a, b
        cp      #VT_STR
        jp      z, err_type
        cp      #VT_INT
        jr      z, 15$
        call    to_flt
        jr      16$
14$:    ld      a, b
        cp      #VT_STR
        jp      nz, err_type
        jr      16$
15$:    call    to_int
        call    ret_int
16$:    pop     hl                      ; the caller's text
        rst     0x20
        ret

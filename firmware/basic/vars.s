; Variables and arrays. Simple variables follow the program text, one entry each:
;   kind and length (1: bits 7-6 kind, 0 variable, 1 array, 2 function; bits 5-0 length),
;   the name (with its $ or %), the value (4 bytes: a number, an integer, or a string
;   descriptor: length and address).
; An array's entry holds the address of its block in the array area, or 0 before it is
; dimensioned. A block is: size (2), dimensions (1), element size (1), the sizes of the
; dimensions (2 each, the first varying fastest), the elements. Entries never move while
; the program runs; the array area moves up when a variable is added, and the entries'
; addresses and the strings' back links follow it.
        .module vars
        .include "basic.inc"

K_ARRAY         = 0x40

        .area   _DATA
var_size:       .ds     2
dim_count:      .ds     1
dim_sizes:      .ds     16
arr_text:       .ds     2
arr_write:      .ds     1               ; 0x80: the next element is assigned to
arr_n:          .ds     1
arr_esize:      .ds     1
arr_dp:         .ds     2
arr_elems:      .ds     2
arr_off:        .ds     2

        .area   _CODE

; Resolves the variable token whose slot's high byte is at HL: DE = its value (or array
; entry) address, written into the slot. Keeps HL.
var_resolve::
        dec     hl
        dec     hl
        ld      a, (hl)                 ; the token
        inc     hl
        inc     hl
        cp      #T_ARR
        ld      a, #0
        jr      c, 1$
        ld      a, #K_ARRAY
1$:     inc     hl
        call    var_find
        dec     hl
        ld      (hl), d
        dec     hl
        ld      (hl), e
        inc     hl
        ret

; The address of the variable whose token is at HL: DE = its value (or array entry), A = its
; type (VT_*), HL after the token.
var_addr::
        ld      a, (hl)
        inc     hl
        ld      e, (hl)
        inc     hl
        ld      d, (hl)
        push    af
        ld      a, d
        or      e
        call    z, var_resolve
        pop     af
        inc     hl
        ld      c, (hl)                 ; over the name
        inc     hl
        ld      b, #0
        add     hl, bc
; The value type of token A: 4 number, 2 integer, 3 string.
tok_type::
        cp      #T_ARR
        jr      c, 1$
        sub     #3
1$:     sub     #T_VAR
        jr      z, 2$
        inc     a
        ret
2$:     ld      a, #VT_FLT
        ret

; Finds the variable of kind A named by the length and name at HL, creating it (zero) when
; it does not exist. DE = its value address. Keeps HL.
var_find::
        push    hl
        ld      b, (hl)
        or      b
        ld      c, a                    ; C = kind and length
        inc     hl
        ex      de, hl                  ; DE = the name
        ld      hl, (vartab)
1$:     push    de
        ld      de, (arytab)
        rst     0x28
        pop     de
        jr      z, var_new
        ld      a, (hl)
        cp      c
        jr      nz, 3$
        push    hl
        push    de
        inc     hl
        push    bc
2$:     ld      a, (de)
        cp      (hl)
        jr      nz, 21$
        inc     hl
        inc     de
        djnz    2$
21$:    pop     bc
        pop     de
        jr      z, 4$
        pop     hl
3$:     ld      a, (hl)                 ; on to the next entry
        and     #0x3F
        add     a, #5
        add     a, l
        ld      l, a
        jr      nc, 1$
        inc     h
        jr      1$
4$:     ex      de, hl                  ; found: DE = the value
        pop     hl
        pop     hl
        ret

; A new entry at the end of the simple variables: the arrays move up to make room.
var_new:
        ld      a, b
        add     a, #5
        ld      (var_size), a
        xor     a
        ld      (var_size + 1), a
        push    de                      ; the name
        push    bc
        ld      bc, (var_size)
        call    mem_check
        ld      hl, (strend)            ; move the arrays up
        push    hl
        ld      de, (arytab)
        or      a
        sbc     hl, de
        ld      b, h
        ld      c, l                    ; bytes of arrays
        pop     hl
        ld      de, (var_size)
        add     hl, de
        ld      (strend), hl
        ex      de, hl                  ; DE = the new end
        ld      a, b
        or      c
        jr      z, 1$
        ld      hl, (strend)
        push    de
        ld      de, (var_size)
        or      a
        sbc     hl, de
        pop     de
        dec     hl
        dec     de
        lddr
1$:     call    arrays_moved
        pop     bc
        pop     de
        ld      hl, (arytab)            ; the entry
        ld      (hl), c
        inc     hl
        push    hl
        push    de
        ld      de, (var_size)
        ld      hl, (arytab)
        add     hl, de
        ld      (arytab), hl
        pop     de
        pop     hl
        ex      de, hl                  ; copy the name
        ld      c, b
        ld      b, #0
        ldir
        ex      de, hl
        ld      d, h
        ld      e, l
        xor     a
        ld      (hl), a
        inc     hl
        ld      (hl), a
        inc     hl
        ld      (hl), a
        inc     hl
        ld      (hl), a
        pop     hl
        ret

; The arrays moved up by var_size: the array entries and the strings that belong to array
; elements follow them.
arrays_moved:
        ld      hl, (vartab)
1$:     ld      de, (arytab)
        rst     0x28
        jr      z, 3$
        ld      a, (hl)
        ld      c, a
        and     #0x3F
        add     a, #1
        ld      e, a
        ld      d, #0
        add     hl, de                  ; HL = the value
        ld      a, c
        and     #0xC0
        cp      #K_ARRAY
        jr      nz, 2$
        ld      e, (hl)
        inc     hl
        ld      d, (hl)
        ld      a, d
        or      e
        jr      z, 21$
        ex      de, hl
        ld      bc, (var_size)
        add     hl, bc
        ex      de, hl
        ld      (hl), d
        dec     hl
        ld      (hl), e
        inc     hl
21$:    dec     hl
2$:     inc     hl
        inc     hl
        inc     hl
        inc     hl
        jr      1$
3$:     ld      hl, (arytab)            ; back links into [arytab, old strend)
        ld      de, (strend)
        ld      bc, (var_size)
        or      a
        ex      de, hl
        sbc     hl, bc
        ex      de, hl
        jp      str_moved               ; HL low, DE high, BC how far

; The array element for the array token at HL with its subscripts: DE = the element, A its
; type, HL after the ')'. The subscripts wait on the stack; the first varies fastest.
arr_elem::
        ld      a, (arr_write)          ; the token, with bit 7 for an assignment
        or      (hl)
        push    af
        xor     a
        ld      (arr_write), a          ; (arrays in the subscripts are read)
        call    var_addr                ; DE = the array's entry
        rst     0x20
        cp      #'(
        jp      nz, err_syntax
        push    de
        rst     0x10
        call    eval_int                ; the first subscript
        rst     0x20
        cp      #')
        jp      z, arr_one
        ld      b, #1
        push    de
1$:     rst     0x20
        cp      #',
        jr      nz, 11$
        rst     0x10
        push    bc
        call    eval_int
        pop     bc
        push    de
        inc     b
        jr      1$
11$:    rst     0x08
        .db     ')
arr_gen:
        ld      (arr_text), hl
        ld      a, b
        ld      (arr_n), a
        ld      l, b                    ; the entry and the token lie under the subscripts
        ld      h, #0
        add     hl, hl
        add     hl, sp
        ld      e, (hl)
        inc     hl
        ld      d, (hl)
        inc     hl
        inc     hl
        ld      a, (hl)
        ld      c, a
        and     #0x7F
        call    tok_type
        ld      (arr_esize), a
        ex      de, hl
        ld      e, (hl)
        inc     hl
        ld      d, (hl)
        dec     hl
        ld      a, d
        or      e
        jr      nz, 2$
        bit     7, c                    ; reading an array that does not exist: a typing
        jp      z, err_illegal          ; mistake for a function, most likely
        ld      a, (arr_n)              ; assigned without DIM: 0 to 10 each
        ld      (dim_count), a
        ld      de, #dims_auto
        ld      a, (arr_esize)
        call    dim_create
2$:     ex      de, hl                  ; HL = the block
        inc     hl
        inc     hl
        ld      a, (arr_n)
        cp      (hl)
        jp      nz, err_subscript
        inc     hl
        inc     hl
        ld      e, a
        ld      d, #0
        ex      de, hl
        add     hl, hl
        add     hl, de
        ld      (arr_dp), hl            ; after the last size: the elements
        ld      (arr_elems), hl
        ld      hl, #0
        ld      (arr_off), hl
3$:     pop     de                      ; the last subscript first
        ld      hl, (arr_dp)
        dec     hl
        ld      b, (hl)
        dec     hl
        ld      c, (hl)
        ld      (arr_dp), hl
        ld      h, d
        ld      l, e
        or      a
        sbc     hl, bc
        jp      nc, err_subscript       ; below 0 reads as a large number
        ld      hl, (arr_off)
        ld      a, h
        or      l
        jr      z, 4$
        call    umul16
4$:     add     hl, de
        ld      (arr_off), hl
        ld      hl, #arr_n
        dec     (hl)
        jr      nz, 3$
        pop     de                      ; the entry
        pop     af
        and     #0x7F
        call    tok_type
        ld      hl, (arr_off)
        ld      d, h
        ld      e, l
        add     hl, hl                  ; times the element size 2, 3 or 4
        cp      #VT_INT
        jr      z, 5$
        cp      #VT_STR
        jr      z, 41$
        add     hl, hl
        jr      5$
41$:    add     hl, de
5$:     ld      de, (arr_elems)
        add     hl, de
        ex      de, hl
        ld      hl, (arr_text)
        ret

; One subscript (DE): an existing one-dimensional array is reached without the general
; walk over the dimensions. Stack: the token, the entry.
arr_one:
        ex      (sp), hl                ; HL = the entry, the text kept
        ld      c, (hl)
        inc     hl
        ld      b, (hl)
        dec     hl
        ld      a, b
        or      c
        jr      z, 2$                   ; no array yet: the general way creates it
        push    hl
        ld      h, b
        ld      l, c
        inc     hl
        inc     hl
        ld      a, (hl)
        dec     a
        jr      nz, 1$                  ; more dimensions: the general way reports it
        inc     hl
        ld      a, (hl)                 ; the element size
        inc     hl
        ld      c, (hl)
        inc     hl
        ld      b, (hl)                 ; BC = the elements
        inc     hl
        ex      de, hl                  ; DE = the first element, HL = the subscript
        push    af
        ld      a, h                    ; below BC, unsigned (a negative one is large)
        cp      b
        jr      c, 3$
        jp      nz, err_subscript
        ld      a, l
        cp      c
        jp      nc, err_subscript
3$:     pop     af
        ld      b, h
        ld      c, l
        add     hl, hl
        cp      #VT_INT
        jr      z, 4$
        cp      #VT_STR
        jr      z, 5$
        add     hl, hl
        jr      4$
5$:     add     hl, bc
4$:     add     hl, de
        ex      de, hl                  ; DE = the element
        pop     hl                      ; (the entry)
        pop     hl                      ; the text, at the bracket
        rst     0x10
        pop     af
        and     #0x7F
        jp      tok_type
1$:     pop     hl                      ; the entry
2$:     ex      (sp), hl                ; back as the general way has it
        push    de
        ld      b, #1
        rst     0x08
        .db     ')
        jp      arr_gen

dims_auto:
        .dw     11, 11, 11, 11, 11, 11, 11, 11

; HL = HL * BC (the low 16 bits). Keeps BC and DE.
umul16::
        push    de
        ex      de, hl
        ld      hl, #0
        ld      a, #16
1$:     add     hl, hl
        ex      de, hl
        add     hl, hl
        ex      de, hl
        jr      nc, 2$
        add     hl, bc
2$:     dec     a
        jr      nz, 1$
        pop     de
        ret

; Creates the array block for the entry value at HL: A = element size, dim_count sizes
; from the words at DE. DE = the block, zeroed. "Out of memory" when it does not fit.
dim_create::
        push    hl
        ld      (arr_esize), a
        ld      (arr_dp), de
        ld      hl, #1                  ; the number of elements
        ld      a, (dim_count)
        ld      b, a
1$:     push    bc
        ex      de, hl
        ld      hl, (arr_dp)
        ld      c, (hl)
        inc     hl
        ld      b, (hl)
        inc     hl
        ld      (arr_dp), hl
        ex      de, hl
        call    umul_check              ; HL = HL * BC, "Out of memory" past 16 bits
        pop     bc
        djnz    1$
        ld      a, (arr_esize)
        ld      b, #0
        ld      c, a
        call    umul_check
        ld      a, (dim_count)
        add     a, a
        add     a, #4
        ld      c, a
        ld      b, #0
        add     hl, bc
        jp      c, err_memory
        ld      b, h
        ld      c, l
        push    bc
        call    mem_check
        pop     bc
        ld      hl, (strend)
        push    hl
        ld      (hl), c                 ; the header
        inc     hl
        ld      (hl), b
        inc     hl
        ld      a, (dim_count)
        ld      (hl), a
        inc     hl
        ld      a, (arr_esize)
        ld      (hl), a
        inc     hl
        push    hl
        ld      hl, (strend)
        add     hl, bc
        ld      (strend), hl
        pop     hl
        ld      a, (dim_count)          ; the sizes
        add     a, a
        ld      c, a
        ld      b, #0
        ex      de, hl
        ld      hl, (arr_dp)
        or      a
        sbc     hl, bc
        ldir
        ld      hl, (strend)            ; zero the elements, from DE up to strend
        or      a
        sbc     hl, de
        ld      b, h
        ld      c, l
        dec     bc                      ; (two bytes at least)
        ld      h, d
        ld      l, e
        ld      (hl), #0
        inc     de
        ldir
        pop     de                      ; the block
        pop     hl                      ; the entry value
        ld      (hl), e
        inc     hl
        ld      (hl), d
        ret

; HL = HL * BC unsigned; "Out of memory" when it does not fit 16 bits. Keeps BC, DE.
umul_check:
        push    de
        ex      de, hl
        ld      hl, #0
        ld      a, #16
1$:     add     hl, hl
        jp      c, err_memory
        ex      de, hl
        add     hl, hl
        ex      de, hl
        jr      nc, 2$
        add     hl, bc
        jp      c, err_memory
2$:     dec     a
        jr      nz, 1$
        pop     de
        ret

; DIM name(size[,size...])[, ...]
st_dim::
        ld      a, (hl)
        cp      #T_ARR
        jp      c, err_syntax
        cp      #T_ARR + 3
        jp      nc, err_syntax
        call    tok_type
        push    af
        call    var_addr                ; DE = the entry value
        ld      a, (de)
        inc     de
        ex      de, hl
        or      (hl)
        dec     hl
        ex      de, hl
        jp      nz, err_dupdef
        push    de
        rst     0x20
        cp      #'(
        jp      nz, err_syntax
        ld      de, #dim_sizes
        xor     a
        ld      (dim_count), a
1$:     rst     0x10
        push    de
        call    eval_int
        bit     7, d
        jp      nz, err_illegal
        inc     de                      ; 0 to n: n + 1 elements
        ld      b, d
        ld      c, e
        pop     de
        ex      de, hl
        ld      (hl), c
        inc     hl
        ld      (hl), b
        inc     hl
        ex      de, hl
        ld      a, (dim_count)
        inc     a
        ld      (dim_count), a
        cp      #8
        jp      nc, err_syntax
        rst     0x20
        cp      #',
        jr      z, 1$
        rst     0x08
        .db     ')
        ex      (sp), hl                ; the entry value
        pop     bc
        pop     af                      ; the element size
        push    bc
        ld      de, #dim_sizes
        call    dim_create
        pop     hl
        rst     0x20
        cp      #',
        ret     nz
        rst     0x10
        jr      st_dim

; LET name = expression, and the statements that start with a variable.
st_let::
let_implicit::
        ld      a, (hl)
        cp      #T_VAR
        jp      c, err_syntax
        cp      #T_ARR + 3
        jp      nc, err_syntax
        cp      #T_ARR
        jr      nc, let_elem
        call    var_addr
        push    de
        push    af
        rst     0x20
        rst     0x08
        .db     '=
        call    eval
        pop     af
        pop     de
; Stores the value into the variable of type A at DE. Keeps HL.
assign::
        cp      #VT_FLT
        jr      nz, 1$
        push    hl
        push    de
        call    to_flt
        pop     de
        ld      hl, #fac
        ldi
        ldi
        ldi
        ldi
        pop     hl
        ret
1$:     cp      #VT_INT
        jr      z, 2$
        ld      a, (valtyp)             ; a string into a string variable only
        cp      #VT_STR
        jp      nz, err_type
        jp      str_assign
2$:
        push    hl
        push    de
        call    to_int
        ex      de, hl
        pop     hl
        ld      (hl), e
        inc     hl
        ld      (hl), d
        pop     hl
        ret

let_elem:
        call    arr_target
        push    de
        push    af
        ld      de, (arytab)
        push    de
        rst     0x20
        rst     0x08
        .db     '=
        call    eval                    ; may make variables: the arrays move up
        pop     bc
        pop     af
        pop     de
        call    arr_follow
        jr      assign

; SWAP a, b: two variables of one type trade values.
st_swap::
        call    any_var
        push    de                      ; the first's address
        push    af                      ; its type
        ld      de, (arytab)
        push    de                      ; where the arrays are
        rst     0x20
        rst     0x08
        .db     ',
        call    any_var                 ; making the second moves the arrays up
        pop     bc                      ; BC = where they were
        ex      (sp), hl                ; H = the first's type
        cp      h
        jp      nz, err_type
        pop     hl
        ex      (sp), hl                ; HL = the first, DE = the second
        ex      de, hl
        call    arr_follow
        ex      de, hl
        push    hl
        push    de
        push    af
        ld      b, a                    ; the type is the size of the value
1$:     ld      a, (de)
        ld      c, (hl)
        ld      (hl), a
        ld      a, c
        ld      (de), a
        inc     hl
        inc     de
        djnz    1$
        pop     af
        pop     de
        pop     hl
        cp      #VT_STR
        jr      nz, 2$
        call    str_owner               ; the strings' back links follow their descriptors
        ex      de, hl
        call    str_owner
2$:     pop     hl
        ret

; DE = the address of a variable or element taken when the arrays started at BC: where
; it is now, after the variables made since then moved the arrays up. Keeps A, HL.
arr_follow:
        ex      de, hl
        or      a
        sbc     hl, bc
        jr      c, 1$                   ; a simple variable stays where it is
        ld      bc, (arytab)            ; an element moved with its array
1$:     add     hl, bc
        ex      de, hl
        ret

; The variable or element at HL: DE = its address, A = its type, HL after it.
any_var::
        ld      a, (hl)
        cp      #T_VAR
        jp      c, err_syntax
        cp      #T_ARR
        jp      c, var_addr
        cp      #T_ARR + 3
        jp      nc, err_syntax
; An array element that is to be assigned: the array may come into being here.
arr_target::
        ld      a, #0x80
        ld      (arr_write), a
        jp      arr_elem

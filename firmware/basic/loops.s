; Loops: FOR and NEXT, WHILE and WEND, with their frames on the Z80 stack (see flow.s for
; the frames' layout).
        .module loops
        .include "basic.inc"

        .area   _DATA
next_txt:       .ds     2
for_var:        .ds     2
for_type:       .ds     1
for_lim:        .ds     4
for_step:       .ds     4

        .area   _RCODE0

; FOR v = start TO limit [STEP step]
st_for::
        ld      a, (hl)
        cp      #T_VAR
        jr      z, 1$
        cp      #T_VAR + 1
        jp      nz, err_syntax
1$:     call    var_addr
        ld      (for_var), de
        ld      (for_type), a
        rst     0x20
        rst     0x08
        .db     '=
        call    eval
        ld      de, (for_var)
        ld      a, (for_type)
        call    assign
        rst     0x08
        .db     TK_TO
        call    eval
        call    for_value
        ld      de, #for_lim
        call    for_put
        rst     0x20
        cp      #TK_STEP
        jr      nz, 2$
        rst     0x10
        call    eval
        jr      3$
2$:     push    hl
        ld      hl, #1
        call    ret_int
        pop     hl
3$:     call    for_value
        ld      de, #for_step
        call    for_put
        pop     de                      ; the return to newstt
        push    hl
        ld      hl, #0                  ; a loop over the same variable ends first
        add     hl, sp
        inc     hl
        inc     hl
4$:     call    frame_next
        jr      z, 6$
        cp      #TAG_GOSUB
        jr      z, 6$
        cp      #TAG_WHILE
        jr      z, 5$
        push    hl
        inc     hl
        inc     hl
        ld      a, (for_var)
        cp      (hl)
        jr      nz, 41$
        inc     hl
        ld      a, (for_var + 1)
        cp      (hl)
41$:    pop     hl
        jr      nz, 5$
        ld      de, #16                 ; the old frame and all above it go
        add     hl, de
        pop     de
        ld      sp, hl
        push    de
        jr      6$
5$:     ld      b, #0
        add     hl, bc
        jr      4$
6$:     pop     hl
        call    frame_room
        ld      de, (curlin)
        push    de
        push    hl
        ld      de, (for_lim + 2)
        push    de
        ld      de, (for_lim)
        push    de
        ld      de, (for_step + 2)
        push    de
        ld      de, (for_step)
        push    de
        ld      de, (for_var)
        push    de
        ld      a, (for_type)
        cp      #VT_FLT
        ld      a, #TAG_FORF
        jr      z, 7$
        inc     a
7$:     push    af
        jp      newstt

; The value as the loop variable's type.
for_value:
        push    hl
        ld      a, (for_type)
        cp      #VT_FLT
        jr      nz, 1$
        call    to_flt
        pop     hl
        ret
1$:     call    to_int
        ld      (fac), hl
        pop     hl
        ret

; Four bytes of fac to DE.
for_put:
        push    hl
        ld      hl, #fac
        ld      bc, #4
        ldir
        pop     hl
        ret

; NEXT [v[, v...]]: the loop's variable is found by the slot in its token, its frame is
; usually the top one, and the step, limit and return point are read off the frame.
st_next::
        pop     de
        ld      de, #0
        rst     0x20
        jr      z, 1$
        ld      a, (hl)
        cp      #T_VAR
        jr      z, 0$
        cp      #T_VAR + 1
        jp      nz, err_syntax
0$:     inc     hl                      ; the variable's address, from its slot
        ld      e, (hl)
        inc     hl
        ld      d, (hl)
        ld      a, d
        or      e
        call    z, var_resolve
        inc     hl
        ld      a, (hl)
        inc     a
        add     a, l
        ld      l, a
        jr      nc, 1$
        inc     h
1$:     ld      (next_txt), hl
        ld      hl, #0
        add     hl, sp
2$:     call    frame_next
        jp      z, err_next
        cp      #TAG_GOSUB
        jp      nc, err_next
        ld      a, d
        or      e
        jr      z, 4$                   ; NEXT alone: the innermost loop
        inc     hl
        inc     hl
        ld      a, (hl)
        cp      e
        jr      nz, 3$
        inc     hl
        ld      a, (hl)
        dec     hl
        cp      d
        jr      z, 31$
3$:     dec     hl                      ; an inner loop of another variable ends
        dec     hl
        ld      b, #0
        add     hl, bc
        jr      2$
31$:    dec     hl
        dec     hl
4$:     ld      sp, hl                  ; the frame is the top of the stack
        inc     hl
        ld      a, (hl)
        inc     hl
        ld      e, (hl)
        inc     hl
        ld      d, (hl)                 ; DE = the variable
        inc     hl                      ; HL = the step
        cp      #TAG_FORI
        jr      z, next_int
        push    de
        push    hl
        ex      de, hl
        ld      de, #fac
        ldi
        ldi
        ldi
        ldi                             ; FAC = v
        pop     hl
        ld      e, (hl)
        inc     hl
        ld      d, (hl)
        inc     hl
        ld      c, (hl)
        inc     hl
        ld      b, (hl)                 ; BCDE = the step
        inc     hl
        ex      (sp), hl                ; HL = the variable, the limit kept
        push    bc                      ; (C: the step's sign)
        call    fp_add
        ex      de, hl
        ld      hl, #fac
        ldi
        ldi
        ldi
        ldi                             ; v = v + step
        pop     bc
        pop     hl
        ld      e, (hl)
        inc     hl
        ld      d, (hl)
        inc     hl
        push    bc
        ld      c, (hl)
        inc     hl
        ld      b, (hl)                 ; BCDE = the limit
        inc     hl
        push    hl
        call    fp_cmp                  ; A = the sign of (v - limit)
        pop     hl
        pop     bc
        bit     7, c
next_test:
        jr      z, 5$
        neg
5$:     dec     a
        jr      z, next_done            ; past the limit
        ld      e, (hl)                 ; on after the FOR, in its line
        inc     hl
        ld      d, (hl)
        inc     hl
        ld      a, (hl)
        inc     hl
        ld      h, (hl)
        ld      l, a
        ld      (curlin), hl
        ex      de, hl
        jp      newstt
next_int:
        push    de                      ; v = v + step (HL = the step)
        ld      c, (hl)
        inc     hl
        ld      b, (hl)
        inc     hl
        inc     hl
        inc     hl
        ex      (sp), hl                ; HL = the variable, the limit kept
        ld      e, (hl)
        inc     hl
        ld      d, (hl)
        ex      de, hl
        or      a
        adc     hl, bc
        jp      pe, err_overflow
        ex      de, hl
        ld      (hl), d
        dec     hl
        ld      (hl), e
        pop     hl                      ; the limit
        push    bc
        ld      a, (hl)
        inc     hl
        push    hl
        ld      h, (hl)
        ld      l, a
        call    icmp                    ; A = the sign of (v - limit)
        pop     hl
        inc     hl
        inc     hl
        inc     hl                      ; HL = the text
        pop     bc
        bit     7, b
        jr      next_test
next_done:
        ld      hl, #16
        add     hl, sp
        ld      sp, hl
        ld      hl, (next_txt)
        rst     0x20
        cp      #',
        jp      nz, newstt
        rst     0x10
        push    de                      ; a dummy return for st_next to drop
        jp      st_next

; WHILE condition ... WEND
st_while::
        call    eval
        call    is_true
        jr      z, 1$
        pop     de
        call    frame_room
        ld      bc, (curlin)
        push    bc
        ld      bc, (stmt_txt)
        push    bc
        ld      a, #TAG_WHILE
        push    af
        push    de
        ret
1$:     ld      c, #0                   ; false: on after the matching WEND
2$:     ld      a, (hl)
        or      a
        jr      z, 4$
        cp      #TK_WHILE
        jr      nz, 3$
        inc     c
3$:     cp      #TK_WEND
        jr      nz, 31$
        ld      a, c
        or      a
        jr      z, 6$
        dec     c
31$:    call    skip_token
        jr      2$
4$:     inc     hl                      ; the next line
        ld      a, (hl)
        inc     hl
        or      (hl)
        dec     hl
        jp      z, err_while
        ld      (curlin), hl
        inc     hl
        inc     hl
        inc     hl
        inc     hl
        jr      2$
6$:     rst     0x10
        ret

st_wend::
        pop     de
        ld      hl, #0
        add     hl, sp
1$:     call    frame_next
        jp      z, err_wend
        cp      #TAG_WHILE
        jr      z, frame_back
        cp      #TAG_GOSUB
        jp      z, err_wend
        ld      b, #0
        add     hl, bc
        jr      1$

; The GOSUB or WHILE frame at HL (A = its tag) goes, with all above it: RETURN goes on after
; the GOSUB, WEND at the WHILE again.
frame_back::
        inc     hl
        inc     hl
        ld      e, (hl)
        inc     hl
        ld      d, (hl)
        inc     hl
        ld      c, (hl)
        inc     hl
        ld      b, (hl)
        inc     hl
        ld      sp, hl
        ld      (curlin), bc
        ex      de, hl
        cp      #TAG_GOSUB
        jp      z, newstt
        dec     hl
        jp      exec_stmt


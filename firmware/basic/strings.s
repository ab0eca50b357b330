; Strings. A descriptor is 3 bytes: length, address. Strings made at run time live in
; blocks at the top of memory, allocated downwards:
;   the characters, their count (1), the back link (2: the descriptor that owns the block)
; so that the collector can walk the blocks from the top and move each live one up,
; correcting its owner through the back link: one pass, whatever the number of strings.
; A block whose back link is 0, or names a temporary no longer in use, is garbage.
; Expression results are temporary descriptors on a small stack; a variable takes its
; value over from a temporary that owns its block, shares a string in the program text, or
; gets a copy.
        .module strings
        .include "basic.inc"

NTEMP           = 10

        .area   _DATA
tmpst::         .ds     3 * NTEMP
tmpptr::        .ds     2
gc_dst:         .ds     2
gc_old:         .ds     2
gc_link:        .ds     2
gc_delta:       .ds     2
gc_lo:          .ds     2
gc_hi:          .ds     2
st_a:           .ds     2
st_b:           .ds     2

        .area   _RCODE3

; No temporary strings.
str_reset::
        ld      hl, #tmpst
        ld      (tmpptr), hl
        ret

; A new temporary descriptor of length A for the data at DE: HL = it. Keeps DE.
str_temp::
        ld      hl, (tmpptr)
        push    bc
        ld      bc, #tmpst + 3 * NTEMP
        push    hl
        or      a
        sbc     hl, bc
        pop     hl
        pop     bc
        jp      nc, err_complex
        ld      (hl), a
        inc     hl
        ld      (hl), e
        inc     hl
        ld      (hl), d
        inc     hl
        ld      (tmpptr), hl
        dec     hl
        dec     hl
        dec     hl
        ret

; A temporary copy of the descriptor at HL (the string is shared, not owned): HL = it.
str_temp_of::
        ld      a, (hl)
        inc     hl
        ld      e, (hl)
        inc     hl
        ld      d, (hl)
        jr      str_temp

; Releases the descriptor at DE after use: a temporary on top of the stack is popped, and
; a block it owned becomes garbage (its characters stay readable until the next
; allocation). Returns A = B = the length, HL = the characters. Keeps DE.
str_use::
        ld      hl, (tmpptr)
        dec     hl
        dec     hl
        dec     hl
        rst     0x28
        jr      nz, 1$
        ld      (tmpptr), hl
        call    str_disown
1$:     ex      de, hl
        ld      b, (hl)
        inc     hl
        ld      e, (hl)
        inc     hl
        ld      d, (hl)
        dec     hl
        dec     hl
        ex      de, hl
        ld      a, b
        ret

; If the descriptor at HL owns a block, the block becomes garbage. Keeps BC, DE, HL.
str_disown::
        push    de
        call    str_block               ; DE = the block's back link, Z when HL owns it
        jr      nz, 1$
        xor     a
        ld      (de), a
        dec     de
        ld      (de), a
1$:     pop     de
        ret

; The block of the descriptor at HL: DE = the address of its back link's high byte; Z when
; the string is in a block whose back link is HL. Keeps BC, HL.
str_block:
        push    bc
        push    hl
        ld      c, (hl)                 ; the length
        inc     hl
        ld      e, (hl)
        inc     hl
        ld      d, (hl)                 ; DE = the characters
        ex      de, hl
        call    in_heap
        jr      nz, 2$
        ld      b, #0
        add     hl, bc
        inc     hl
        ld      e, (hl)
        inc     hl
        ld      d, (hl)                 ; DE = the back link, HL at its high byte
        ex      (sp), hl                ; HL = the descriptor
        rst     0x28
        ex      (sp), hl
        ex      de, hl                  ; DE = the back link's high byte
        pop     hl
        pop     bc
        ret
2$:     pop     hl
        pop     bc
        ret

; Z when a string of C characters at HL lives in a block of the string space. Keeps BC,
; DE, HL.
in_heap:
        ld      a, c
        or      a
        jr      z, 1$                   ; empty: no block
        push    de
        ld      de, (fretop)
        rst     0x28
        jr      c, 2$                   ; below the strings
        ld      de, #MEM_TOP
        rst     0x28
        ccf
        jr      c, 2$                   ; at or above their top
        pop     de
        xor     a
        ret
2$:     pop     de
1$:     or      #1
        ret

; Makes the descriptor at HL the owner of its block, if it has one. Keeps DE, HL.
str_owner::
        push    bc
        push    de
        push    hl
        ld      c, (hl)
        inc     hl
        ld      e, (hl)
        inc     hl
        ld      d, (hl)
        ex      de, hl                  ; HL = the characters
        call    in_heap
        jr      nz, 1$
        ld      b, #0
        add     hl, bc
        inc     hl
        pop     de                      ; the descriptor
        push    de
        ld      (hl), e
        inc     hl
        ld      (hl), d
1$:     pop     hl
        pop     de
        pop     bc
        ret

; Room for BC more bytes at the end of the arrays, collecting the strings if needed.
mem_check::
        push    hl
        push    de
        call    1$
        jr      nc, 2$
        call    str_gc
        call    1$
        jp      c, err_memory
2$:     pop     de
        pop     hl
        ret
1$:     ld      hl, (strend)
        add     hl, bc
        ret     c
        ex      de, hl
        ld      hl, (fretop)
        or      a
        sbc     hl, de
        ret

; A new block for A characters: HL = where they go. Its back link is 0 until the caller
; gives it an owner. May collect the strings first. Keeps A.
str_alloc::
        push    af
        call    1$
        jr      nc, 2$
        call    str_gc
        pop     af
        push    af
        call    1$
        jp      c, err_strings
2$:     pop     af
        ld      hl, (fretop)
        dec     hl
        ld      (hl), #0                ; back link
        dec     hl
        ld      (hl), #0
        dec     hl
        ld      (hl), a                 ; count
        ld      e, a
        ld      d, #0
        or      a
        sbc     hl, de
        ld      (fretop), hl
        ret
1$:     ld      e, a                    ; C when fretop - (A + 3) is below strend
        ld      d, #0
        inc     de
        inc     de
        inc     de
        ld      hl, (fretop)
        or      a
        sbc     hl, de
        ret     c
        ld      de, (strend)
        rst     0x28
        ret

; Sets the back link of the block at HL (the characters) of length A to DE.
set_link:
        push    hl
        ld      c, a
        ld      b, #0
        add     hl, bc
        inc     hl
        ld      (hl), e
        inc     hl
        ld      (hl), d
        pop     hl
        ret

; The collector: moves every live block up to the top, in order, and corrects its owner
; (and any temporary that shares its characters).
str_gc::
        push    bc
        ld      hl, #MEM_TOP
        ld      (gc_dst), hl
1$:     ld      de, (fretop)
        rst     0x28
        jr      z, 9$
        jr      c, 9$
        dec     hl
        ld      d, (hl)                 ; the back link
        dec     hl
        ld      e, (hl)
        dec     hl
        ld      c, (hl)                 ; the count
        ld      b, #0
        or      a
        sbc     hl, bc                  ; HL = the block's characters
        call    gc_live
        jr      nc, 1$                  ; garbage: skipped
        ld      (gc_old), hl
        ld      (gc_link), de
        inc     bc
        inc     bc
        inc     bc
        ld      hl, (gc_dst)
        or      a
        sbc     hl, bc
        ld      (gc_dst), hl            ; the new start
        ld      de, (gc_old)
        or      a
        sbc     hl, de
        ld      (gc_delta), hl
        jr      z, 2$                   ; already in place
        ld      hl, (gc_old)
        add     hl, bc
        dec     hl
        push    hl
        ld      hl, (gc_dst)
        add     hl, bc
        dec     hl
        ex      de, hl
        pop     hl
        push    bc
        lddr
        pop     bc
        ld      hl, (gc_old)
        ld      de, (gc_delta)
        call    gc_temps
2$:     ld      hl, (gc_link)           ; the owner's address field
        inc     hl
        ld      de, (gc_dst)
        ld      (hl), e
        inc     hl
        ld      (hl), d
        ld      hl, (gc_old)
        jr      1$
9$:     ld      hl, (gc_dst)
        ld      (fretop), hl
        pop     bc
        ret

; C when a block with back link DE is live: not 0, and not a temporary above tmpptr.
gc_live:
        ld      a, d
        or      e
        ret     z
        push    hl
        ld      hl, #tmpst - 1
        or      a
        sbc     hl, de
        jr      c, 1$                   ; at or above the temporaries
2$:     pop     hl
        scf
        ret
1$:     ld      hl, #tmpst + 3 * NTEMP - 1
        or      a
        sbc     hl, de
        jr      c, 2$                   ; beyond them
        ld      hl, (tmpptr)
        dec     hl
        or      a
        sbc     hl, de
        ccf
        pop     hl
        ret

; A block of BC bytes that started at HL moved by DE: temporaries whose characters lie in
; it follow.
gc_temps:
        ld      (gc_lo), hl
        add     hl, bc
        ld      (gc_hi), hl
        ld      hl, #tmpst
1$:     push    de
        ld      de, (tmpptr)
        rst     0x28
        pop     de
        ret     z
        ret     nc
        inc     hl
        ld      c, (hl)
        inc     hl
        ld      b, (hl)
        push    hl
        ld      hl, (gc_lo)
        dec     hl
        or      a
        sbc     hl, bc
        jr      nc, 2$                  ; before the block
        ld      hl, (gc_hi)
        dec     hl
        or      a
        sbc     hl, bc
        jr      c, 2$                   ; after it
        ld      h, b
        ld      l, c
        add     hl, de
        ld      b, h
        ld      c, l
        pop     hl
        ld      (hl), b
        dec     hl
        ld      (hl), c
        inc     hl
        push    hl
2$:     pop     hl
        inc     hl
        jr      1$

; The area [HL, DE) moved by BC: back links into it follow.
str_moved::
        ld      (gc_lo), hl
        ld      (gc_hi), de
        ld      (gc_delta), bc
        ld      hl, #MEM_TOP
1$:     ld      de, (fretop)
        rst     0x28
        ret     z
        ret     c
        dec     hl
        ld      d, (hl)
        dec     hl
        ld      e, (hl)
        push    hl
        ld      hl, (gc_lo)
        dec     hl
        or      a
        sbc     hl, de
        jr      nc, 2$
        ld      hl, (gc_hi)
        dec     hl
        or      a
        sbc     hl, de
        jr      c, 2$
        ld      hl, (gc_delta)
        add     hl, de
        ex      de, hl
        pop     hl
        push    hl
        ld      (hl), e
        inc     hl
        ld      (hl), d
2$:     pop     hl
        dec     hl
        ld      c, (hl)
        ld      b, #0
        or      a
        sbc     hl, bc
        jr      1$

; Assigns the string of the temporary descriptor in fac to the descriptor at DE.
; Keeps HL.
str_assign::
        push    hl
        push    de
        ld      de, (fac)
        ld      hl, (tmpptr)            ; the value's own block is taken over
        dec     hl
        dec     hl
        dec     hl
        rst     0x28
        jr      nz, 3$                  ; not the top temporary: copy it
        ex      de, hl
        call    str_block
        jr      nz, 1$
        ; HL = the temporary, DE = its block's link: the new owner is the target
        pop     bc                      ; the target
        push    bc
        ex      de, hl
        ld      (hl), b
        dec     hl
        ld      (hl), c
        ex      de, hl
        jr      4$
1$:     ld      de, (fac)               ; a string in the program text is shared
        inc     hl
        ld      a, (hl)
        inc     hl
        ld      h, (hl)
        ld      l, a
        push    de
        ld      de, #TEXT_START
        rst     0x28
        pop     de
        jr      c, 3$
        push    de
        ld      de, (txtend)
        rst     0x28
        pop     de
        jr      c, 4$
3$:     ld      hl, (fac)               ; anything else is copied
        ld      a, (hl)
        or      a
        jr      z, 4$
        call    str_alloc               ; may move the strings: read the source again
        ex      de, hl
        ld      hl, (fac)
        ld      c, (hl)
        ld      b, #0
        inc     hl
        ld      a, (hl)
        inc     hl
        ld      h, (hl)
        ld      l, a
        push    de
        ldir
        pop     de
        ld      hl, (fac)               ; the temporary now names the copy
        inc     hl
        ld      (hl), e
        inc     hl
        ld      (hl), d
        pop     bc
        push    bc
        ld      hl, (fac)
        ld      a, (hl)
        ex      de, hl
        ld      d, b
        ld      e, c
        call    set_link
4$:     pop     de                      ; the target gives up its old block
        ex      de, hl
        call    str_disown
        ld      de, (fac)               ; and takes the descriptor
        ex      de, hl
        ldi
        ldi
        ldi
        ld      hl, (fac)               ; the temporary is used up
        ld      (tmpptr), hl
        pop     hl
        ret

; A temporary owning the block of A characters at DE becomes the value: HL = it.
str_own_temp::
        call    str_temp
        or      a
        jr      z, 1$                   ; nothing to own
        push    hl
        ex      de, hl
        call    set_link
        pop     hl
1$:
        ld      (fac), hl
        ld      a, #VT_STR
        ld      (valtyp), a
        ret

; The length C (B = 0) and characters HL of the descriptor at HL.
desc_get::
        ld      c, (hl)
        ld      b, #0
        inc     hl
        ld      a, (hl)
        inc     hl
        ld      h, (hl)
        ld      l, a
        ret

; Left string (DE) + right string (fac).
str_concat::
        ld      a, (valtyp)
        cp      #VT_STR
        jp      nz, err_type
        ld      (st_a), de
        ld      hl, (fac)
        ld      (st_b), hl
        ld      a, (de)
        add     a, (hl)
        jp      c, err_long
        push    af
        call    str_alloc
        push    hl
        ex      de, hl
        ld      hl, (st_a)
        call    desc_get
        ld      a, c
        or      a
        jr      z, 1$
        ldir
1$:     ld      hl, (st_b)
        call    desc_get
        ld      a, c
        or      a
        jr      z, 2$
        ldir
2$:     ld      de, (st_b)
        call    str_use
        ld      de, (st_a)
        call    str_use
        pop     de
        pop     af
        jp      str_own_temp

; Compares the left string (DE) with the right one (fac): A = 1, 0 or 0xFF as the left is
; above, equal to or below the right; both temporaries are released.
str_compare::
        ld      a, (valtyp)
        cp      #VT_STR
        jp      nz, err_type
        push    de
        ld      de, (fac)
        call    str_use
        ld      (st_b), hl
        ld      c, b
        pop     de
        call    str_use
        ld      de, (st_b)
1$:     ld      a, b
        or      a
        jr      z, 3$
        ld      a, c
        or      a
        jr      z, 4$
        ld      a, (de)
        cp      (hl)
        jr      nz, 5$
        inc     hl
        inc     de
        dec     b
        dec     c
        jr      1$
3$:     ld      a, c
        or      a
        ret     z
        ld      a, #0xFF
        ret
4$:     ld      a, #1
        ret
5$:     ld      a, #1
        ret     c
        ld      a, #0xFF
        ret

; A string value that does not own its block (nor lies in the program text) gets a copy
; of its own, so that it outlives the string it was taken from.
str_private::
        ld      a, (valtyp)
        cp      #VT_STR
        ret     nz
        ld      hl, (fac)
        call    str_block
        ret     z
        ld      hl, (fac)
        ld      a, (hl)
        or      a
        ret     z
        inc     hl
        ld      e, (hl)
        inc     hl
        ld      d, (hl)
        ex      de, hl
        ld      de, #TEXT_START
        rst     0x28
        jr      c, 1$
        ld      de, (txtend)
        rst     0x28
        ret     c
1$:     ld      hl, (fac)
        ld      a, (hl)
        call    str_alloc
        ex      de, hl
        ld      hl, (fac)
        call    desc_get
        push    de
        ldir
        pop     de
        ld      hl, (fac)
        inc     hl
        ld      (hl), e
        inc     hl
        ld      (hl), d
        ld      hl, (fac)
        ld      a, (hl)
        ex      de, hl
        ld      de, (fac)
        jp      set_link

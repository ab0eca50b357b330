; Floating point: the accumulator, arithmetic and comparison (whole numbers and the
; conversions to and from integers are in fpint.s).
; Numbers are 4 bytes (README.md): mantissa low, middle, sign and high 7 bits, exponent
; biased by 128 (0 = zero). In registers B = exponent, C = sign and high, D, E.
; Results round to nearest, halves away from zero; every public routine keeps HL (unless
; HL is its output), IX and IY.

        .module fp
        .include "basic.inc"
        .globl  error

        .area   _DATA
fac::   .ds     4               ; the accumulator
fp_es:  .ds     2               ; fp_mul/fp_div: exponent (low byte) and sign (bit 7, high)

        .area   _RCODE0

; ---------------------------------------------------------------- moving numbers
; FAC = the number at HL. Keeps BC, DE, HL.
fp_ld_fac_hl::
        push    de
        ld      e,(hl)
        inc     hl
        ld      d,(hl)
        inc     hl
        ld      (fac),de
        ld      e,(hl)
        inc     hl
        ld      d,(hl)
        ld      (fac+2),de
        dec     hl
        dec     hl
        dec     hl
        pop     de
        ret

; The number at HL = FAC. Keeps BC, DE, HL.
fp_st_fac_hl::
        push    de
        ld      de,(fac)
        ld      (hl),e
        inc     hl
        ld      (hl),d
        inc     hl
        ld      de,(fac+2)
        ld      (hl),e
        inc     hl
        ld      (hl),d
        dec     hl
        dec     hl
        dec     hl
        pop     de
        ret

; BCDE = the number at HL. Keeps HL.
fp_ld_bcde_hl::
        ld      e,(hl)
        inc     hl
        ld      d,(hl)
        inc     hl
        ld      c,(hl)
        inc     hl
        ld      b,(hl)
        dec     hl
        dec     hl
        dec     hl
        ret

; BCDE = FAC. Keeps HL and A.
fp_ld_bcde_fac::
        ld      de,(fac)
        ld      bc,(fac+2)
        ret

; FAC = BCDE. Keeps every register.
fp_ld_fac_bcde::
        ld      (fac),de
        ld      (fac+2),bc
        ret

; Pushes FAC under the return address; `pop de` then `pop bc` take it back as BCDE.
; Keeps BC and HL; destroys DE.
fp_push_fac::
        pop     de              ; return address
        push    hl
        ld      hl,(fac+2)
        ex      (sp),hl
        push    hl
        ld      hl,(fac)
        ex      (sp),hl
        push    de
        ret

; ---------------------------------------------------------------- signs
; FAC = -FAC. Keeps BC, DE, HL.
fp_neg::
        ld      a,(fac+3)
        or      a
        ret     z               ; zero has no sign
        ld      a,(fac+2)
        xor     #0x80
        ld      (fac+2),a
        ret

; FAC = abs(FAC). Keeps BC, DE, HL.
fp_abs::
        ld      a,(fac+2)
        and     #0x7F
        ld      (fac+2),a
        ret

; A = -1, 0 or 1 by the sign of FAC, flags as `or a`. Keeps BC, DE, HL.
fp_sgn::
        ld      a,(fac+3)
        or      a
        ret     z
        ld      a,(fac+2)
        rla
        sbc     a,a             ; 0xFF for negatives
        ret     nz
        inc     a
        ret

; A = 1, 0 or 0xFF as FAC is above, equal to or below BCDE; flags as `or a`. Keeps BC,
; DE and HL. Zero is four zero bytes, so it takes part like any positive number.
fp_cmp::
        ld      a,(fac+2)
        xor     c
        jp      m,3$            ; the signs differ: the sign of FAC decides
        ld      a,(fac+3)
        cp      b
        jr      nz,1$
        ld      a,(fac+2)
        cp      c
        jr      nz,1$
        ld      a,(fac+1)
        cp      d
        jr      nz,1$
        ld      a,(fac)
        sub     e
        ret     z
1$:     sbc     a,a             ; 0xFF when |FAC| < |BCDE|
        bit     7,c
        jr      z,2$
        cpl                     ; both negative: the larger magnitude is the lower number
2$:     or      #1
        ret
3$:     ld      a,(fac+2)
        rla
        sbc     a,a
        or      #1
        ret

; ---------------------------------------------------------------- addition
fpa_swap:                               ; A = FAC's exponent less BCDE's, below 0
        push    hl
        neg
        cp      b
        jr      z,fpa_copy              ; FAC is zero
        cp      #5
        jr      nc,fpa_xchg
        ; BCDE larger by 1 to 4 places: FAC's mantissa is aligned in registers and only
        ; the exponent goes to FAC now
        ld      l,a
        ld      a,b
        ld      (fac+3),a
        ld      a,(fac+2)
        ld      b,a
        xor     c
        push    de                      ; BCDE's low 16 bits
        ld      d,a                     ; bit 7: the signs differ
        ld      e,l
        set     7,b
        ld      hl,(fac)
        xor     a
        dec     e
        jr      z,4$
        dec     e
        jr      z,3$
        dec     e
        jr      z,2$
        srl     b
        rr      h
        rr      l
        rra
2$:     srl     b
        rr      h
        rr      l
        rra
3$:     srl     b
        rr      h
        rr      l
        rra
4$:     srl     b
        rr      h
        rr      l
        rra
        bit     7,d                     ; B H L A = FAC's aligned, C = BCDE's top byte
        ld      d,b
        ld      b,a
        ld      a,c
        ld      c,d
        jr      nz,5$
        pop     de
        jp      fpa_plus2
5$:     ld      (fac+2),a
        ex      de,hl
        pop     hl
        jp      fpa_minus2
fpa_xchg:
        ld      hl,(fac)                ; exchange, so that FAC holds the larger
        ex      de,hl
        ld      (fac),hl
        ld      hl,(fac+2)
        ld      (fac+2),bc
        ld      c,l
        jp      fpa_go
fpa_copy:
        pop     hl
        jp      fp_ld_fac_bcde
fpa_bzero:                              ; A = FAC's exponent
        or      a
        ret     nz
        ld      (fac+2),a               ; 0 - 0 is 0, not -0
        ret

; FAC = BCDE - FAC.
fp_sub::
        ld      a,(fac+2)
        xor     #0x80
        ld      (fac+2),a
        ; fall into fp_add

; FAC = BCDE + FAC. Keeps HL.
fp_add::
        ld      a,(fac+3)
        sub     b
        jr      c,fpa_swap              ; BCDE is the larger, or FAC is zero
        inc     b
        dec     b
        jr      z,fpa_bzero             ; BCDE zero: the sum is FAC
        push    hl
; FAC holds the larger exponent, A = the difference, C D E = the other number.
fpa_go: cp      #5
        jp      nc,fpa_mid
        ld      h,a
        ld      a,(fac+2)
        ld      l,a                     ; FAC's sign and high bits
        xor     c
        set     7,c
        jp      m,fpa_dsub
        xor     a                       ; the guard byte
        dec     h                       ; 0 to 4 places right, unrolled
        jp      m,4$
        jr      z,3$
        dec     h
        jr      z,2$
        dec     h
        jr      z,1$
        srl     c
        rr      d
        rr      e
        rra
1$:     srl     c
        rr      d
        rr      e
        rra
2$:     srl     c
        rr      d
        rr      e
        rra
3$:     srl     c
        rr      d
        rr      e
        rra
4$:     ld      b,a
        ld      a,l
fpa_plus:                               ; A = FAC's byte 2, C D E B = the aligned other
        ld      hl,(fac)
fpa_plus2:                              ; H L, D E = the two low 16 bits
        add     hl,de
        ld      d,a                     ; D bit 7: the sign of the result
        set     7,a
        adc     a,c
        jr      c,fpa_carry
; A H L = mantissa (bit 7 of A set), B = guard, D bit 7 = sign; exponent already in FAC.
fpa_round:
        sla     b
        jr      c,fpa_up
fpa_store:
        ld      (fac),hl
        add     a,a
        rl      d
        rra
        ld      (fac+2),a
        pop     hl
        ret
fpa_up: inc     l
        jr      nz,fpa_store
        inc     h
        jr      nz,fpa_store
        inc     a
        jr      nz,fpa_store
        ld      a,(fac+3)               ; the mantissa carried out: 0x800000, one up
        inc     a
        jp      z,fp_overflow
        ld      (fac+3),a
        ld      a,#0x80
        jr      fpa_store
fpa_carry:
        rra                             ; carry out of the top: one place right
        rr      h
        rr      l
        rr      b
        ld      c,a
        ld      a,(fac+3)
        inc     a
        jp      z,fp_overflow
        ld      (fac+3),a
        ld      a,c
        jr      fpa_round

fpa_dsub:                               ; different signs, 0 to 4 places
        xor     a
        dec     h
        jp      m,4$
        jr      z,3$
        dec     h
        jr      z,2$
        dec     h
        jr      z,1$
        srl     c
        rr      d
        rr      e
        rra
1$:     srl     c
        rr      d
        rr      e
        rra
2$:     srl     c
        rr      d
        rr      e
        rra
3$:     srl     c
        rr      d
        rr      e
        rra
4$:     ld      b,a
        jp      fpa_minus

fpa_mid:                                ; 5 to 7 places: 3 to 1 left, then a byte right
        cp      #8
        jr      nc,fpa_far
        sub     #8
        neg
        ld      b,a
        ld      a,(fac+2)
        ld      l,a
        xor     c
        ld      h,a                     ; bit 7: the signs differ
        set     7,c
        xor     a
1$:     sla     e
        rl      d
        rl      c
        rla
        djnz    1$
        ld      b,e
        ld      e,d
        ld      d,c
        ld      c,a
        bit     7,h
        jp      nz,fpa_minus
        ld      a,l
        jp      fpa_plus

fpa_far:                                ; 5 places or more
        cp      #26
        jp      nc,fp_pop_ret           ; too small to show
        ld      b,a
        ld      a,(fac+2)
        xor     c
        ld      h,a                     ; bit 7: the signs differ
        set     7,c
        ; shift C D E right by B places; the bits shifted out collect in L (guard byte)
        ld      l,#0
        ld      a,b
        cp      #8
        jr      c,3$
        ; whole bytes first; bit 0 of H notes any bits lost beyond the guard byte, so that a
        ; difference rounds right, and goes into the lowest guard bit that stays
        res     0,h
2$:     inc     l
        dec     l
        jr      z,10$
        set     0,h
10$:    ld      l,e
        ld      e,d
        ld      d,c
        ld      c,#0
        sub     #8
        cp      #8
        jr      nc,2$
        push    af
        ld      b,a
        inc     b
        ld      a,#1
        jr      12$
11$:    add     a,a
12$:    djnz    11$
        ld      b,a                     ; 1 << places left
        dec     a
        and     l
        jr      nz,13$
        bit     0,h
        jr      z,14$
13$:    ld      a,l
        or      b
        ld      l,a
14$:    pop     af
3$:     or      a
        jr      z,7$
        cp      #5
        jr      nc,5$
        ld      b,a
        ld      a,l
4$:     srl     c
        rr      d
        rr      e
        rra
        djnz    4$
        ld      l,a
        jr      7$
5$:     ; 5 to 7 places: 3 to 1 places left, then a whole byte right
        sub     #8
        neg
        ld      b,a
        xor     a
6$:     sla     l
        rl      e
        rl      d
        rl      c
        rla
        djnz    6$
        ld      l,e
        ld      e,d
        ld      d,c
        ld      c,a
7$:     ld      b,l
        bit     7,h
        jp      nz,fpa_minus
        ld      a,(fac+2)
        jp      fpa_plus

fpa_minus:
        ; different signs: |FAC| - |C D E B|
        ld      hl,(fac)
fpa_minus2:                             ; H L = the larger's low 16 bits
        xor     a
        sub     b
        ld      b,a
        sbc     hl,de
        ld      a,(fac+2)
        ld      d,a
        set     7,a
        sbc     a,c
        jr      c,1$                    ; the other one was larger (equal exponents)
        jp      m,fpa_round             ; no cancellation
        sla     b                       ; one place left is the usual case
        adc     hl,hl
        adc     a,a
        jp      p,3$
        ld      c,a
        ld      a,(fac+3)
        dec     a
        jp      z,fp_zero_pop
        ld      (fac+3),a
        ld      a,c
        jp      fpa_round
3$:     ld      c,a                     ; more: the general way, one place already done
        ld      a,(fac+3)
        dec     a
        jp      z,fp_zero_pop
        ld      e,a
        ld      a,c
        jp      fpn_norm
1$:     ld      c,a                     ; negate C H L B, the sign flips
        xor     a
        sub     b
        ld      b,a
        ld      a,#0
        sbc     a,l
        ld      l,a
        ld      a,#0
        sbc     a,h
        ld      h,a
        ld      a,#0
        sbc     a,c
        ld      c,a
        ld      a,d
        xor     #0x80
        ld      d,a
        ld      a,(fac+3)
        ld      e,a
        ld      a,c
        ; fall into fpn_norm

; Normalises, rounds and stores in FAC the number 0.AHLB x 2^(E-128), sign in bit 7 of D,
; then pops HL and returns. A H L B may have leading zeros, or be zero. E = 0 .. 255.
fpn_norm::
        or      a
        jp      m,fpn_round
        jr      nz,2$
1$:     or      h                       ; top byte zero: a byte at a time
        or      l
        or      b
        jr      z,fp_zero_pop
        ld      a,e
        sub     #8
        jr      c,fp_zero_pop
        jr      z,fp_zero_pop
        ld      e,a
        ld      a,h
        ld      h,l
        ld      l,b
        ld      b,#0
        or      a
        jp      m,fpn_round
        jr      z,1$
2$:     dec     e
        jr      z,fp_zero_pop
        sla     b
        adc     hl,hl
        adc     a,a                     ; (rla would leave the sign flag)
        jp      p,2$
; Rounds and stores A H L B (bit 7 of A set), exponent E, sign D; pops HL.
fpn_round:
        sla     b
        jr      nc,fpn_store
        inc     l
        jr      nz,fpn_store
        inc     h
        jr      nz,fpn_store
        inc     a
        jr      nz,fpn_store
        ld      a,#0x80
        inc     e
        jr      z,fp_overflow
fpn_store:
        ld      (fac),hl
        add     a,a
        rl      d
        rra
        ld      h,e
        ld      l,a
        ld      (fac+2),hl
        pop     hl
        ret

fp_zero_pop::
        pop     hl
; FAC = 0. Keeps BC, DE, HL.
fp_zero::
        xor     a
        ld      (fac),a
        ld      (fac+1),a
        ld      (fac+2),a
        ld      (fac+3),a
        ret

fp_overflow::
        ld      e,#ERR_OV
        jp      error

fp_pop_ret:
        pop     hl
        ret

; ---------------------------------------------------------------- multiplication
; FAC = BCDE x FAC. Keeps HL.
fp_mul::
        ld      a,(fac+3)
        or      a
        ret     z                       ; FAC zero: so is the product
        inc     b
        dec     b
        jp      z,fp_zero
        push    hl
        add     a,b                     ; exponent less one: A + B - 129, from 0 to 255
        jr      c,1$
        sub     #129
        jp      c,fp_zero_pop           ; too small however it normalises
        jr      2$
1$:     add     a,#127
        jp      c,fp_overflow
2$:     ld      l,a
        ld      a,(fac+2)
        xor     c
        ld      h,a
        push    hl                      ; the exponent and the sign, for the end
        ld      a,e                     ; the multiplier is the one with a zero low byte
        or      a
        jr      nz,3$
        ld      a,(fac)
        or      a
        jr      z,3$
        ld      hl,(fac)
        ld      (fac),de
        ex      de,hl
        ld      a,(fac+2)
        ld      h,c
        ld      c,a
        ld      a,h
        ld      (fac+2),a
3$:     ; multiplicand B D E, multiplier bytes from FAC; each pass takes B:C from the stack
        ld      a,c
        or      #0x80
        ld      b,a
        ld      a,(fac+2)
        or      #0x80
        ld      c,a
        push    bc
        ld      hl,(fac)
        ld      c,h
        ld      a,l
        ld      hl,#0
        or      a
        jr      nz,4$
        or      c
        jr      z,6$                    ; two zero bytes: one pass
        xor     a
        jr      5$
4$:     push    bc
        ld      c,a
        xor     a
        call    fpm_pass
        pop     bc
5$:     call    fpm_pass
6$:     pop     bc
        call    fpm_pass
        ; A H L = product, C = the next byte; normalise by one place at most
        ld      b,c
        pop     de                      ; E = exponent less one, D = sign
        or      a
        jp      m,7$
        sla     b
        adc     hl,hl
        rla
        inc     e
        dec     e
        jp      nz,fpn_round
        jp      fp_zero_pop
7$:     inc     e
        jp      nz,fpn_round
        jp      fp_overflow

; One byte of multiplier: A H L = (A H L + B D E x C) / 256, the bits shifted out in C.
fpm_pass:
        .rept   8
        rr      c
        jr      nc,.+4
        add     hl,de
        adc     a,b
        rra
        rr      h
        rr      l
        .endm
        rr      c
        ret

; ---------------------------------------------------------------- division
; FAC = BCDE / FAC ("Division by zero" when FAC is zero). Keeps HL.
fp_div::
        ld      a,(fac+3)
        or      a
        jr      z,fpd_dz
        inc     b
        dec     b
        jp      z,fp_zero               ; zero divided by anything
        push    hl
        ld      h,a
        ld      a,b
        sub     h                       ; exponent: BCDE's less FAC's, plus 128
        jr      c,1$
        add     a,#128
        jp      c,fp_overflow
        jr      2$
1$:     sub     #128
        jp      c,fp_zero_pop           ; may still be 0: a larger dividend adds one
2$:     ld      (fp_es),a
        ld      a,(fac+2)
        xor     c
        ld      (fp_es+1),a             ; the sign
        ; remainder A H L = BCDE's mantissa, divisor B D E = FAC's
        ld      a,c
        or      #0x80
        ld      c,a
        ld      hl,(fac)
        ex      de,hl
        ld      a,(fac+2)
        or      #0x80
        ld      b,a
        ld      a,c
        sbc     hl,de                   ; carry is clear after `or`
        sbc     a,b
        jr      c,3$
        ld      c,a                     ; dividend >= divisor: the leading 1, one up
        ld      a,(fp_es)
        inc     a
        jp      z,fp_overflow
        ld      (fp_es),a
        ld      a,c
        jr      4$
3$:     add     hl,de                   ; dividend < divisor: twice it gives the leading 1
        adc     a,b
        ld      c,a
        ld      a,(fp_es)
        or      a
        jp      z,fp_zero_pop
        ld      a,c
        add     hl,hl
        rla
        or      a
        sbc     hl,de
        sbc     a,b
4$:     call    fpd_pass                ; 23 more bits and the rounding bit
        push    bc
        call    fpd_pass
        push    bc
        call    fpd_pass
        ld      a,c
        cpl
        ld      l,a
        pop     de
        ld      a,e
        cpl
        ld      h,a
        pop     de
        ld      a,e
        cpl
        ld      b,#0
        scf                             ; the leading 1 in, the rounding bit out
        rra
        rr      h
        rr      l
        rr      b
        ld      de,(fp_es)
        jp      fpn_round

fpd_dz:
        ld      e,#ERR_DZ
        jp      error

; Eight quotient bits: A H L = remainder (below the divisor B D E); the bits go into C
; inverted (a carry after the step means 0). Mostly the top bytes alone decide.
fpd_pass:
        add     hl,hl
        rla
        jr      c,40$               ; 2^24 reached: it goes
        cp      b
        jr      c,20$                  ; the top byte decides: it does not go
        call    z,fpd_equal
40$:  or      a
        sbc     hl,de
        sbc     a,b
        or      a
20$:     rl      c
        add     hl,hl
        rla
        jr      c,41$               ; 2^24 reached: it goes
        cp      b
        jr      c,21$                  ; the top byte decides: it does not go
        call    z,fpd_equal
41$:  or      a
        sbc     hl,de
        sbc     a,b
        or      a
21$:     rl      c
        add     hl,hl
        rla
        jr      c,42$               ; 2^24 reached: it goes
        cp      b
        jr      c,22$                  ; the top byte decides: it does not go
        call    z,fpd_equal
42$:  or      a
        sbc     hl,de
        sbc     a,b
        or      a
22$:     rl      c
        add     hl,hl
        rla
        jr      c,43$               ; 2^24 reached: it goes
        cp      b
        jr      c,23$                  ; the top byte decides: it does not go
        call    z,fpd_equal
43$:  or      a
        sbc     hl,de
        sbc     a,b
        or      a
23$:     rl      c
        add     hl,hl
        rla
        jr      c,44$               ; 2^24 reached: it goes
        cp      b
        jr      c,24$                  ; the top byte decides: it does not go
        call    z,fpd_equal
44$:  or      a
        sbc     hl,de
        sbc     a,b
        or      a
24$:     rl      c
        add     hl,hl
        rla
        jr      c,45$               ; 2^24 reached: it goes
        cp      b
        jr      c,25$                  ; the top byte decides: it does not go
        call    z,fpd_equal
45$:  or      a
        sbc     hl,de
        sbc     a,b
        or      a
25$:     rl      c
        add     hl,hl
        rla
        jr      c,46$               ; 2^24 reached: it goes
        cp      b
        jr      c,26$                  ; the top byte decides: it does not go
        call    z,fpd_equal
46$:  or      a
        sbc     hl,de
        sbc     a,b
        or      a
26$:     rl      c
        add     hl,hl
        rla
        jr      c,47$               ; 2^24 reached: it goes
        cp      b
        jr      c,27$                  ; the top byte decides: it does not go
        call    z,fpd_equal
47$:  or      a
        sbc     hl,de
        sbc     a,b
        or      a
27$:     rl      c
        ret

; Equal top bytes (carry clear): when H L is below D E the remainder does not go, so the
; step's subtraction is skipped (5 bytes) and it ends with carry set.
fpd_equal:
        push    hl
        sbc     hl,de
        pop     hl
        ret     nc
        ex      (sp),hl
        inc     hl
        inc     hl
        inc     hl
        inc     hl
        inc     hl
        ex      (sp),hl
        scf
        ret

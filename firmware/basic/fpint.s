; Floating point: whole numbers (INT, FIX) and the conversions between numbers and 16- and
; 24-bit integers. The same conventions as fp.s: every public routine keeps HL (unless HL
; is its output), IX and IY.

        .module fpint
        .include "basic.inc"
        .globl  error

        .area   _RCODE0

; ---------------------------------------------------------------- whole numbers
; FAC = FAC truncated toward zero. Keeps BC, DE, HL.
fp_fix::
        push    hl
        push    bc
        call    fpi_clear
        pop     bc
        pop     hl
        ret

; FAC = floor(FAC). Keeps HL.
fp_int::
        push    hl
        ld      a,(fac+2)
        push    af
        call    fpi_clear
        pop     bc                      ; B = the sign byte before
        jr      z,1$                    ; nothing was cleared
        bit     7,b
        jr      z,1$
        ld      bc,#0x8180              ; a negative number with a fraction: one lower
        ld      de,#0
        call    fp_add
1$:     pop     hl
        ret

; Clears the fraction bits of FAC; NZ when any of them was set. Destroys A, B, C, H, L.
fpi_clear::
        ld      a,(fac+3)
        sub     #0x98                   ; 2^23 and up have no fraction
        jr      nc,4$
        cp      #0xE9                   ; 0x81 - 0x98
        jr      c,3$                    ; below 1: all fraction
        neg                             ; bits to clear, 1..23
        ld      hl,#fac
        ld      c,#0                    ; the bits cleared, ORed
1$:     cp      #8
        jr      c,2$
        ld      b,a
        ld      a,(hl)
        or      c
        ld      c,a
        ld      (hl),#0
        inc     hl
        ld      a,b
        sub     #8
        jr      1$
2$:     ld      b,a
        ld      a,#0xFF
        inc     b
        jr      6$
5$:     add     a,a
6$:     djnz    5$
        ld      b,a                     ; the mask of the bits kept
        cpl
        and     (hl)
        or      c
        ld      c,a
        ld      a,b
        and     (hl)
        ld      (hl),a
        ld      a,c
        or      a
        ret
3$:     ld      a,(fac+3)               ; the whole of it goes; NZ unless it was zero
        or      a
        jp      nz,fp_zero_nz
4$:     xor     a
        ret
fp_zero_nz:
        call    fp_zero
        inc     a
        ret

; FAC = HL as a signed 16-bit integer. Keeps HL.
fp_from_int::
        ld      a,h
        or      a
        jr      nz,4$                   ; negative, or 256 and up
        or      l
        jp      z,fp_zero
        ld      c,#0x88                 ; 1..255: normalise A, the exponent in C
        cp      #0x10
        jr      nc,1$
        add     a,a
        add     a,a
        add     a,a
        add     a,a
        ld      c,#0x84
1$:     cp      #0x40
        jr      nc,2$
        add     a,a
        add     a,a
        dec     c
        dec     c
2$:     add     a,a                     ; the leading 1 out
        jr      c,3$
        add     a,a
        dec     c
3$:     srl     a                       ; positive, seven bits
        ld      b,c
        ld      c,a
        ld      (fac+2),bc
        ld      bc,#0
        ld      (fac),bc
        ret
4$:     jp      p,fp_from_u16
        push    hl
        xor     a
        sub     l
        ld      l,a
        sbc     a,a
        sub     h
        ld      h,a
        ld      d,#0x80
        jr      fpf_16

; FAC = HL as an unsigned 16-bit integer. Keeps HL.
fp_from_u16::
        push    hl
        ld      d,#0
fpf_16: ; H L = magnitude, D bit 7 = sign
        ld      e,#0x90
        ld      a,h
        or      a
        jr      nz,1$
        or      l
        jp      z,fp_zero_pop
        ld      h,l
        ld      l,#0
        ld      e,#0x88
        ld      a,h
1$:     cp      #0x10
        jr      nc,2$
        add     hl,hl
        add     hl,hl
        add     hl,hl
        add     hl,hl
        ld      a,e
        sub     #4
        ld      e,a
        ld      a,h
2$:     cp      #0x40
        jr      nc,3$
        add     hl,hl
        add     hl,hl
        dec     e
        dec     e
        ld      a,h
3$:     or      a
        jp      m,4$
        add     hl,hl
        dec     e
4$:     ld      a,l                     ; store: 0, L, sign and H, exponent
        ld      (fac+1),a
        xor     a
        ld      (fac),a
        ld      a,h
        add     a,a
        rl      d
        rra
        ld      l,a
        ld      h,e
        ld      (fac+2),hl
        pop     hl
        ret

; FAC = A:HL as an unsigned 24-bit integer (A high). Keeps HL.
fp_from_u24::
        push    hl
        ld      b,#0
        ld      de,#0x0098
        jp      fpn_norm

; HL = FAC rounded to the nearest integer, halves away from zero; "Overflow" outside
; -32768..32767.
fp_to_int::
        ld      hl,(fac+2)
        ld      a,h
        sub     #0x81
        jr      c,5$                    ; below 1
        cp      #15
        jr      nc,6$                   ; 32768 and up: the careful way
        ld      c,l                     ; the sign
        cp      #7
        jr      nc,10$
        ; below 128: the top A + 1 bits of the mantissa, taken from the left
        inc     a
        ld      b,a
        ld      a,l
        set     7,a
        ld      hl,#0
11$:    add     a,a
        rl      l
        djnz    11$
        add     a,a                     ; the rounding bit
        jr      2$
10$:    set     7,l
        ld      h,l
        ld      l,a
        ld      a,(fac+1)
        ld      b,l
        ld      l,a                     ; H L = the top 16 bits of the mantissa
        ld      a,#15
        sub     b                       ; places right: 1..15
        cp      #8
        jr      c,1$
        ld      l,h
        ld      h,#0
        sub     #8
        jr      nz,1$
        ld      a,(fac+1)               ; no place left: the rounding bit is the one below
        rla
        jr      2$
1$:     ld      b,a
3$:     srl     h
        rr      l
        djnz    3$
2$:     jr      nc,4$
        inc     hl
4$:     bit     7,c
        jr      nz,9$
        bit     7,h                     ; 32767.5 and up
        ret     z
        jr      8$
9$:     xor     a
        sub     l
        ld      l,a
        sbc     a,a
        sub     h
        ld      h,a
        ret
5$:     inc     a                       ; below a half 0, else 1 away from zero
        ld      a,l
        ld      hl,#0
        ret     nz
        inc     l
        or      a
        ret     p
        dec     hl
        dec     hl
        ret
6$:     call    fpt_round
        jr      c,8$
        bit     7,c
        jr      nz,7$
        bit     7,h
        ret     z
8$:     jp      fp_overflow
7$:     call    fpt_neg
        ret     z
        bit     7,h
        ret     nz
        jr      8$

; HL = FAC rounded; -32768..65535 accepted (negatives as two's complement), else
; "Illegal function call".
fp_to_u16::
        call    fpt_round
        jr      c,1$
        bit     7,c
        ret     z
        call    fpt_neg
        ret     z
        bit     7,h
        ret     nz
1$:     ld      e,#ERR_FC
        jp      error

; HL = -HL; Z when it is zero.
fpt_neg::
neg_hl::
        xor     a
        sub     l
        ld      l,a
        sbc     a,a
        sub     h
        ld      h,a
        or      l
        ret

; HL = abs(FAC) rounded, carry set when it is 65536 or more; C bit 7 = the sign.
; Destroys A, B, D, E.
fpt_round::
        ld      a,(fac+2)
        ld      c,a
        ld      a,(fac+3)
        sub     #0x80
        jr      c,5$                    ; below a half: 0
        cp      #0x11
        ccf
        ret     c                       ; 2^16 and up
        ld      hl,(fac+1)
        set     7,h
        ld      de,(fac)                ; E = the low byte
        ; H L E = mantissa; shift right by 16 - A places, the last bit out rounds
        sub     #16
        neg
        jr      z,4$
        cp      #8
        jr      c,2$
        ld      e,l
        ld      l,h
        ld      h,#0
        sub     #8
        jr      z,4$
2$:     ld      b,a
3$:     srl     h
        rr      l
        djnz    3$
        jr      6$
4$:     sla     e                       ; no places left: the rounding bit is E's top
6$:     ret     nc
        inc     hl
        ld      a,h
        or      l
        ret     nz
        scf                             ; 65535.5 and up
        ret
5$:     ld      hl,#0
        or      a
        ret

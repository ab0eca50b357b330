; Floating point to and from decimal text: fp_fout (PRINT's form of FAC) and fp_fin (a
; number read from text, VAL, INPUT and the tokeniser), and fp_scale10 that both use.

        .module fpio
        .include "basic.inc"
        .globl  fac, fp_zero, fp_abs, fp_neg, fp_add, fp_mul, fp_div, fp_cmp
        .globl  fp_ld_bcde_hl, fp_ld_fac_hl, fpn_norm, fpi_clear, fpt_round, fpt_neg

        .area   _DATA
fp_buf::        .ds     16      ; fp_fout's text
fpo_save:       .ds     4       ; FAC while fp_fout works on it
fpo_n:          .ds     4       ; a whole number being turned into digits
fpo_dig:        .ds     10      ; its ten digits, leading zeros included
fpo_e:          .ds     1       ; the decimal exponent
fpi_k:          .ds     2       ; fp_fin: the power of ten to apply

        .area   _CODE

; ---------------------------------------------------------------- text to number
; Reads a number at HL: blanks, a sign, digits with an optional point, an optional
; exponent. HL ends after it; FAC = the value; A = 2 with DE = the value when there was no
; point and no exponent and it lies in -32768..32767, else A = 4. Carry set when there were
; no digits: HL unchanged, FAC = 0. "Overflow" when too large. Keeps IX, IY.
fp_fin::
        push    hl                      ; the start, for "no number"
        call    fp_zero                 ; FAC holds the digits as a 32-bit whole number
        ld      de,#0
        ld      (fpi_k),de
        ld      bc,#0                   ; B = digits kept; C = flags, below
        ; C: 0 a digit, 1 a point, 2 an exponent, 3 digits dropped, 4 exponent negative,
        ;    7 negative
1$:     ld      a,(hl)
        cp      #' '
        jr      nz,2$
        inc     hl
        jr      1$
2$:     cp      #'-'
        jr      nz,3$
        set     7,c
        jr      4$
3$:     cp      #'+'
        jr      nz,5$
4$:     inc     hl
5$:     ld      a,(hl)
        cp      #'.'
        jr      nz,6$
        bit     1,c
        jr      nz,9$                   ; a second point ends the number
        set     1,c
        inc     hl
        jr      5$
6$:     sub     #'0'
        cp      #10
        jr      nc,9$
        inc     hl
        set     0,c
        ld      e,a
        ld      a,b
        cp      #9                      ; nine significant digits are kept
        jr      nc,7$
        ld      a,e
        call    fpi_digit
        jr      z,8$                    ; leading zeros do not count
        inc     b
8$:     bit     1,c
        jr      z,5$
        ld      de,(fpi_k)              ; a decimal kept: one power of ten down
        dec     de
        ld      (fpi_k),de
        jr      5$
7$:     set     3,c
        bit     1,c
        jr      nz,5$
        ld      de,(fpi_k)              ; a whole digit dropped: one power up
        inc     de
        ld      (fpi_k),de
        jr      5$
9$:     bit     0,c
        jr      nz,10$
        pop     hl
        scf
        ret
10$:    ld      a,(hl)
        and     #0xDF
        cp      #'E'
        jr      nz,20$
        ld      d,h                     ; DE = the E, in case it is not an exponent
        ld      e,l
        inc     hl
        ld      a,(hl)
        cp      #'-'
        jr      nz,11$
        set     4,c
        jr      12$
11$:    cp      #'+'
        jr      nz,13$
12$:    inc     hl
13$:    ld      a,(hl)
        sub     #'0'
        cp      #10
        jr      c,14$
        ex      de,hl
        res     4,c
        jr      20$
14$:    set     2,c
        ld      de,#0
15$:    ld      a,(hl)
        sub     #'0'
        cp      #10
        jr      nc,17$
        inc     hl
        push    hl
        ld      h,d
        ld      l,e
        add     hl,hl
        add     hl,hl
        add     hl,de
        add     hl,hl
        ld      e,a
        ld      d,#0
        add     hl,de
        ex      de,hl
        pop     hl
        ld      a,d
        cp      #4                      ; stays between 1024 and 1279 once that high
        jr      c,15$
        ld      d,#4
        jr      15$
17$:    bit     4,c
        jr      z,18$
        xor     a
        sub     e
        ld      e,a
        sbc     a,a
        sub     d
        ld      d,a
18$:    push    hl
        ld      hl,(fpi_k)
        add     hl,de
        ld      (fpi_k),hl
        pop     hl
20$:    pop     de                      ; the start is not needed
        push    hl                      ; the end of the number
        push    bc
        call    fpi_float
        ld      hl,(fpi_k)
        call    fp_scale10
        pop     bc
        bit     7,c
        call    nz,fp_neg
        ld      a,c
        and     #0x0E
        jr      nz,22$                  ; point, exponent or dropped digits
        call    fpt_round
        jr      c,22$
        bit     7,c
        jr      nz,21$
        bit     7,h
        jr      nz,22$
        jr      23$
21$:    call    fpt_neg
        jr      z,23$
        bit     7,h
        jr      z,22$
23$:    ex      de,hl
        pop     hl
        ld      a,#2
        or      a
        ret
22$:    pop     hl
        ld      a,#4
        or      a
        ret

; FAC (a 32-bit whole number below 10^9) = FAC * 10 + A; Z when it is still zero.
; Keeps BC, HL.
fpi_digit:
        push    hl
        push    bc
        push    af
        ld      hl,(fac)
        ld      bc,(fac+2)
        add     hl,hl                   ; x2
        rl      c
        rl      b
        push    bc
        push    hl
        add     hl,hl                   ; x8
        rl      c
        rl      b
        add     hl,hl
        rl      c
        rl      b
        pop     de
        add     hl,de
        ex      de,hl
        pop     hl
        adc     hl,bc
        pop     af
        add     a,e
        ld      e,a
        jr      nc,1$
        inc     d
        jr      nz,1$
        inc     hl
1$:     ld      (fac),de
        ld      (fac+2),hl
        ld      a,h
        or      l
        or      d
        or      e
        pop     bc
        pop     hl
        ret

; FAC = FAC taken as a 32-bit whole number. Keeps HL.
fpi_float:
        push    hl
        ld      de,(fac)
        ld      hl,(fac+2)
        ld      a,h
        ld      h,l
        ld      l,d
        ld      b,e
        ld      de,#0x00A0              ; positive, 2^32
        jp      fpn_norm

; FAC = FAC x 10^HL (HL signed), by steps of at most 10^10, each an exact power, so that
; up to ten places cost one rounding. Keeps nothing but IX, IY.
fp_scale10::
1$:     ld      a,(fac+3)
        or      a
        ret     z
        ld      a,h
        or      l
        ret     z
        bit     7,h
        jr      nz,4$
        ld      a,h
        or      a
        jr      nz,2$
        ld      a,l
        cp      #10
        jr      c,3$
2$:     ld      a,#10
3$:     ld      e,a
        ld      d,#0
        or      a
        sbc     hl,de
        push    hl
        call    fpo_ten
        call    fp_ld_bcde_hl
        call    fp_mul
        pop     hl
        jr      1$
4$:     ld      a,h
        inc     a
        jr      nz,5$
        ld      a,l
        cp      #0xF6
        jr      c,5$
        neg
        jr      6$
5$:     ld      a,#10
6$:     ld      e,a
        ld      d,#0
        add     hl,de
        push    hl
        ld      de,(fac)
        ld      bc,(fac+2)
        call    fpo_ten
        call    fp_ld_fac_hl
        call    fp_div
        pop     hl
        jr      1$

; HL = the address of 10^A (A = 1..10). Keeps BC, DE.
fpo_ten:
        add     a,a
        add     a,a
        add     a,#<(fpo_tens-4)
        ld      l,a
        ld      a,#>(fpo_tens-4)
        adc     a,#0
        ld      h,a
        ret

fpo_tens:
        .db     0x00,0x00,0x20,0x84     ; 1E1
        .db     0x00,0x00,0x48,0x87     ; 1E2
        .db     0x00,0x00,0x7A,0x8A     ; 1E3
        .db     0x00,0x40,0x1C,0x8E     ; 1E4
        .db     0x00,0x50,0x43,0x91     ; 1E5
        .db     0x00,0x24,0x74,0x94     ; 1E6
        .db     0x80,0x96,0x18,0x98     ; 1E7
        .db     0x20,0xBC,0x3E,0x9B     ; 1E8
        .db     0x28,0x6B,0x6E,0x9E     ; 1E9
        .db     0xF9,0x02,0x15,0xA2     ; 1E10

; ---------------------------------------------------------------- number to text
; HL = FAC as PRINT shows it, zero-terminated in fp_buf. FAC is kept; IX, IY too.
fp_fout::
        ld      hl,(fac)
        ld      (fpo_save),hl
        ld      hl,(fac+2)
        ld      (fpo_save+2),hl
        ld      hl,#fp_buf
        ld      (hl),#' '
        ld      a,(fac+2)
        or      a
        jp      p,1$
        ld      (hl),#'-'
1$:     inc     hl
        ld      a,(fac+3)
        or      a
        jr      nz,2$
        ld      (hl),#'0'
        inc     hl
        jp      fpo_end
2$:     push    hl                      ; where the digits go
        call    fp_abs
        ld      a,(fac+3)               ; whole numbers below 1E9 show all their digits
        cp      #0x81
        jr      c,5$
        cp      #0x9F
        jr      nc,5$
        call    fpi_clear
        jr      nz,4$
        ld      bc,#0x9E6E              ; 1E9
        ld      de,#0x6B28
        call    fp_cmp
        inc     a
        jr      nz,5$
        call    fpo_digits
        pop     hl
        ld      de,#fpo_dig
        ld      b,#9
3$:     ld      a,(de)                  ; leading zeros go, the last digit stays
        cp      #'0'
        jr      nz,31$
        inc     de
        djnz    3$
31$:    inc     b
        call    fpo_copy
        jp      fpo_end
4$:     ld      hl,(fpo_save)           ; the fraction was cleared: back to abs(FAC)
        ld      (fac),hl
        ld      hl,(fpo_save+2)
        res     7,l
        ld      (fac+2),hl
5$:     ; six significant digits: first a guess of the decimal exponent, from the binary
        ; one times 77/256 (just under log10 2)
        ld      a,(fac+3)
        sub     #129
        ld      l,a
        rla
        sbc     a,a
        ld      h,a
        ld      d,h
        ld      e,l
        add     hl,hl
        add     hl,hl
        add     hl,hl
        add     hl,de
        add     hl,hl
        add     hl,de
        add     hl,hl
        add     hl,hl
        add     hl,de
        ld      a,h
        ld      (fpo_e),a
        neg
        add     a,#5
        ld      l,a
        rla
        sbc     a,a
        ld      h,a
        call    fp_scale10              ; FAC x 10^(5 - e)
6$:     ld      bc,#0x9474              ; 1E6 and above: one decade down
        ld      de,#0x2400
        call    fp_cmp
        inc     a
        jr      z,7$
        ld      hl,#-1
        call    fpo_decade
        jr      6$
7$:     ld      bc,#0x9143              ; below 1E5: one decade up
        ld      de,#0x5000
        call    fp_cmp
        inc     a
        jr      nz,8$
        ld      hl,#1
        call    fpo_decade
        jr      7$
8$:     ld      bc,#0x8000              ; round to a whole number
        ld      de,#0
        call    fp_add
        call    fpi_clear
        call    fpo_digits
        ld      de,#fpo_dig+4
        ld      a,(fpo_dig+3)
        cp      #'0'
        jr      z,9$
        dec     de                      ; it rounded up to 1000000: one more decade
        ld      hl,#fpo_e
        inc     (hl)
9$:     ; DE = six digits; B = how many count (trailing zeros dropped), C = the exponent
        ld      hl,#5
        add     hl,de
        ld      b,#6
10$:    ld      a,(hl)
        cp      #'0'
        jr      nz,11$
        dec     hl
        djnz    10$
11$:    ld      a,(fpo_e)
        ld      c,a
        pop     hl
        add     a,#2                    ; -2..8 in plain figures
        cp      #11
        jr      nc,16$
        bit     7,c
        jr      nz,14$
        ; e >= 0: e + 1 whole digits (zeros past the sixth), then the rest after a point
        ld      a,c
        inc     a
        push    bc
        ld      b,a
        ld      c,#6                    ; digits left
12$:    ld      a,c
        or      a
        ld      a,#'0'
        jr      z,13$
        ld      a,(de)
        inc     de
        dec     c
13$:    ld      (hl),a
        inc     hl
        djnz    12$
        pop     bc
        ld      a,b                     ; digits that count, less those already shown
        sub     c
        dec     a
        jr      z,fpo_end
        jp      m,fpo_end
        ld      b,a
        ld      (hl),#'.'
        inc     hl
        call    fpo_copy
        jr      fpo_end
14$:    ld      (hl),#'.'               ; e < 0: a point, -e - 1 zeros, the digits
        inc     hl
        ld      a,c
        cpl                             ; -e - 1
        or      a
        jr      z,15$
141$:   ld      (hl),#'0'
        inc     hl
        dec     a
        jr      nz,141$
15$:    call    fpo_copy
        jr      fpo_end
16$:    ld      a,(de)                  ; d.ddddd, E, sign, two digits
        ld      (hl),a
        inc     hl
        inc     de
        dec     b
        jr      z,17$
        ld      (hl),#'.'
        inc     hl
        call    fpo_copy
17$:    ld      (hl),#'E'
        inc     hl
        ld      (hl),#'+'
        ld      a,c
        or      a
        jp      p,18$
        ld      (hl),#'-'
        neg
18$:    inc     hl
        ld      b,#'0'-1
19$:    inc     b
        sub     #10
        jr      nc,19$
        add     a,#'0'+10
        ld      (hl),b
        inc     hl
        ld      (hl),a
        inc     hl
fpo_end:
        ld      (hl),#0
        ld      hl,(fpo_save)
        ld      (fac),hl
        ld      hl,(fpo_save+2)
        ld      (fac+2),hl
        ld      hl,#fp_buf
        ret

; Copies B bytes from DE to HL, both moving on.
fpo_copy:
        ld      a,(de)
        ld      (hl),a
        inc     hl
        inc     de
        djnz    fpo_copy
        ret

; FAC x 10 (HL = 1) or / 10 (HL = -1); fpo_e goes the other way.
fpo_decade:
        ld      a,(fpo_e)
        sub     l
        ld      (fpo_e),a
        jp      fp_scale10

; fpo_dig = the ten digits of FAC, a whole number below 2^32 (FAC is lost).
fpo_digits:
        ld      de,(fac)
        ld      a,(fac+2)
        or      #0x80
        ld      c,a
        ld      b,#0
        ld      a,(fac+3)
        sub     #0x98
        jr      z,3$
        jr      c,2$
1$:     sla     e
        rl      d
        rl      c
        rl      b
        dec     a
        jr      nz,1$
        jr      3$
2$:     srl     c
        rr      d
        rr      e
        inc     a
        jr      nz,2$
3$:     ld      (fpo_n),de
        ld      (fpo_n+2),bc
        ld      de,#fpo_dig+9
        ld      b,#10
4$:     push    bc
        call    fpo_div10
        add     a,#'0'
        ld      (de),a
        dec     de
        pop     bc
        djnz    4$
        ret

; fpo_n = fpo_n / 10, A = the remainder. Keeps DE. Leading zero bytes are skipped.
fpo_div10:
        ld      hl,#fpo_n+3
        ld      b,#4
        xor     a
4$:     or      (hl)
        jr      nz,1$
        dec     hl
        djnz    4$
        ret                             ; zero: the remainder is 0
1$:     xor     a
        ld      c,(hl)
        push    bc
        ld      b,#8
2$:     sla     c
        rla
        cp      #10
        jr      c,3$
        sub     #10
        inc     c
3$:     djnz    2$
        ld      (hl),c
        dec     hl
        pop     bc
        djnz    5$
        ret
5$:     ld      c,(hl)
        push    bc
        ld      b,#8
        jr      2$

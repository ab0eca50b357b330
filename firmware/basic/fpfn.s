; Floating-point functions: SQR, SIN, COS, TAN, ATN, LOG, EXP, ^ and RND. Arguments are
; reduced exactly where it matters (pi/2 and ln 2 in parts), then short polynomials.

        .module fpfn
        .include "basic.inc"
        .globl  fac, error, fp_add, fp_sub, fp_mul, fp_div, fp_cmp, fp_neg, fp_abs, fp_int
        .globl  fp_zero, fp_to_int, fp_from_int, fp_ld_fac_hl, fp_st_fac_hl, fp_ld_bcde_hl
        .globl  fp_ld_bcde_fac, fp_ld_fac_bcde, fpn_norm, fpi_clear, fpt_round

        .area   _DATA
fpf_a:  .ds     4               ; working values of the functions
fpf_b:  .ds     4
fpf_c:  .ds     4               ; fp_tan, fp_pow
fpf_d:  .ds     4
fpf_x:  .ds     4               ; fpf_poly's argument
fpf_y:  .ds     4               ; fpf_oddpoly's argument
fpf_n:  .ds     2               ; a power of two
fpf_q:  .ds     1               ; a quadrant, or flags
rnd_seed:       .ds     4       ; the generator's state
rnd_last:       .ds     4       ; the last value of RND

        .area   _RCODE2

; FAC = the polynomial at HL in FAC: a count, then the coefficients from the highest power.
fpf_poly:
        push    hl
        ld      hl,#fpf_x
        call    fp_st_fac_hl
        pop     hl
        ld      b,(hl)
        inc     hl
        call    fp_ld_fac_hl
1$:     inc     hl
        inc     hl
        inc     hl
        inc     hl
        dec     b
        ret     z
        push    bc
        push    hl
        ld      hl,#fpf_x
        call    fp_ld_bcde_hl
        call    fp_mul
        pop     hl
        call    fp_ld_bcde_hl
        call    fp_add
        pop     bc
        jr      1$

; FAC = FAC x P(FAC^2), P the polynomial at HL.
fpf_oddpoly:
        push    hl
        ld      hl,#fpf_y
        call    fp_st_fac_hl
        call    fp_ld_bcde_fac
        call    fp_mul
        pop     hl
        call    fpf_poly
        ld      hl,#fpf_y
        call    fp_ld_bcde_hl
        jp      fp_mul

; BCDE = 1.0. Keeps A, HL.
fpf_one:
        ld      bc,#0x8100
        ld      de,#0
        ret

; FAC = sqrt(FAC): Newton's steps from a guess with half the exponent. Keeps HL.
fp_sqr::
        push    hl
        ld      a,(fac+3)
        or      a
        jr      z,fpf_ret
        ld      a,(fac+2)
        or      a
        jp      m,fpf_fc
        ld      hl,#fpf_a
        call    fp_st_fac_hl
        ld      a,(fac+3)
        sub     #128
        sra     a
        add     a,#128
        ld      (fac+3),a               ; within a factor 1.5 of the root
        ld      b,#4
1$:     push    bc
        ld      hl,#fpf_b
        call    fp_st_fac_hl
        ld      hl,#fpf_a
        call    fp_ld_bcde_hl
        call    fp_div
        ld      hl,#fpf_b
        call    fp_ld_bcde_hl
        call    fp_add
        ld      hl,#fac+3               ; halved
        dec     (hl)
        pop     bc
        djnz    1$
fpf_ret:
        pop     hl
        ret
fpf_fc:
        ld      e,#ERR_FC
        jp      error
fpf_ov:
        ld      e,#ERR_OV
        jp      error
fpf_dz:
        ld      e,#ERR_DZ
        jp      error

; FAC = e^FAC: n = round(x / ln 2), r = x - n ln 2 (ln 2 in two parts), e^r x 2^n.
fp_exp::
        push    hl
        ld      a,(fac+3)
        cp      #0x88                   ; |x| >= 128: out of range either way
        jr      c,1$
        ld      a,(fac+2)
        or      a
        jp      p,fpf_ov
        call    fp_zero
        jr      fpf_ret
1$:     ld      hl,#fpf_a
        call    fp_st_fac_hl
        ld      hl,#fpf_1ln2
        call    fp_ld_bcde_hl
        call    fp_mul
        call    fp_to_int
        ld      (fpf_n),hl
        call    fp_from_int
        ld      hl,#fpf_b
        call    fp_st_fac_hl            ; n
        ld      hl,#fpf_ln2a
        call    fpf_reduce
        ld      hl,#fpf_ln2b
        call    fpf_reduce
        ld      hl,#fpf_expp
        call    fpf_poly
        ld      hl,(fpf_n)              ; x 2^n
        ld      a,(fac+3)
        ld      e,a
        ld      d,#0
        add     hl,de
        ld      a,h
        or      a
        jr      nz,2$
        or      l
        jr      z,3$
        ld      (fac+3),a
        jr      fpf_ret
2$:     bit     7,h
        jr      z,fpf_ov
3$:     call    fp_zero
        jr      fpf_ret

; fpf_a = fpf_a - fpf_b x (HL), also left in FAC.
fpf_reduce:
        call    fp_ld_bcde_hl
        ld      hl,#fpf_b
        call    fp_ld_fac_hl
        call    fp_mul
        ld      hl,#fpf_a
        call    fp_ld_bcde_hl
        call    fp_sub
        jp      fp_st_fac_hl

; FAC = ln(FAC): x = m 2^k with m in [sqrt(1/2), sqrt(2)), s = (m-1)/(m+1),
; ln m = 2(s + s^3/3 + ...), plus k ln 2. "Illegal function call" unless FAC > 0.
fp_log::
        push    hl
        ld      a,(fac+3)
        or      a
        jp      z,fpf_fc
        ld      a,(fac+2)
        or      a
        jp      m,fpf_fc
        ld      a,(fac+3)
        sub     #128
        ld      l,a
        rla
        sbc     a,a
        ld      h,a
        ld      a,#128
        ld      (fac+3),a
        push    hl
        ld      hl,#fpf_rt05
        call    fp_ld_bcde_hl
        call    fp_cmp
        pop     hl
        inc     a
        jr      nz,1$
        ld      a,#129
        ld      (fac+3),a
        dec     hl
1$:     ld      (fpf_n),hl
        ld      hl,#fpf_a
        call    fp_st_fac_hl            ; m
        call    fpf_one
        set     7,c
        call    fp_add                  ; m - 1, exact
        ld      hl,#fpf_b
        call    fp_st_fac_hl
        ld      hl,#fpf_a
        call    fp_ld_fac_hl
        call    fpf_one
        call    fp_add                  ; m + 1
        ld      hl,#fpf_b
        call    fp_ld_bcde_hl
        call    fp_div
        ld      hl,#fpf_logp
        call    fpf_oddpoly
        ld      hl,#fpf_a
        call    fp_st_fac_hl            ; ln m
        ld      hl,(fpf_n)
        call    fp_from_int
        ld      hl,#fpf_b
        call    fp_st_fac_hl            ; k
        ld      hl,#fpf_ln2b            ; the small part of k ln 2 first
        call    fpf_addk
        ld      hl,#fpf_ln2a
        call    fpf_addk
        jp      fpf_ret

; fpf_a = fpf_a + fpf_b x (HL), also left in FAC.
fpf_addk:
        call    fp_ld_bcde_hl
        ld      hl,#fpf_b
        call    fp_ld_fac_hl
        call    fp_mul
        ld      hl,#fpf_a
        call    fp_ld_bcde_hl
        call    fp_add
        jp      fp_st_fac_hl

; FAC = cos(FAC), sin(FAC): n = round(x 2/pi), r = x - n pi/2 with pi/2 in three parts
; (the first two products exact while n < 4096), then the quadrant's polynomial.
fp_cos::
        push    hl
        ld      a,#1
        jr      fpf_sincos
fp_sin::
        push    hl
        xor     a
fpf_sincos:
        ld      (fpf_q),a
        ld      hl,#fpf_a
        call    fp_st_fac_hl
        ld      hl,#fpf_2pi
        call    fp_ld_bcde_hl
        call    fp_mul
        ld      hl,#fpf_half
        call    fp_ld_bcde_hl
        call    fp_add
        call    fp_int
        ld      hl,#fpf_b
        call    fp_st_fac_hl            ; n
        ld      a,(fac+3)
        cp      #0x90                   ; the quadrant from n mod 4 while n is small
        jr      nc,1$
        call    fpt_round
        ld      a,l
        bit     7,c
        jr      z,2$
        neg
2$:     ld      hl,#fpf_q
        add     a,(hl)
        ld      (hl),a
1$:     ld      hl,#fpf_p1
        call    fpf_reduce
        ld      hl,#fpf_p2
        call    fpf_reduce
        ld      hl,#fpf_p3
        call    fpf_reduce
        ld      a,(fpf_q)
        rra
        jr      c,3$
        ld      hl,#fpf_sinp
        call    fpf_oddpoly
        jr      4$
3$:     call    fp_ld_bcde_fac
        call    fp_mul
        ld      hl,#fpf_cosp
        call    fpf_poly
4$:     ld      a,(fpf_q)
        and     #2
        call    nz,fp_neg
        jp      fpf_ret

; FAC = tan(FAC) = sin / cos.
fp_tan::
        push    hl
        ld      hl,#fpf_c
        call    fp_st_fac_hl
        call    fp_cos
        ld      hl,#fpf_d
        call    fp_st_fac_hl
        ld      hl,#fpf_c
        call    fp_ld_fac_hl
        call    fp_sin
        call    fp_ld_bcde_fac
        ld      hl,#fpf_d
        call    fp_ld_fac_hl
        call    fp_div
        jp      fpf_ret

; FAC = atn(FAC): above 1 through pi/2 - atn(1/x), above tan(pi/12) through
; pi/6 + atn((x sqrt3 - 1)/(x + sqrt3)), then a series.
fp_atn::
        push    hl
        ld      a,(fac+2)
        and     #0x80
        ld      (fpf_q),a               ; bit 7 the sign, bit 0 inverted, bit 1 pi/6
        call    fp_abs
        call    fpf_one
        call    fp_cmp
        dec     a
        jr      nz,1$
        call    fpf_one
        call    fp_div
        ld      hl,#fpf_q
        set     0,(hl)
1$:     ld      hl,#fpf_t12
        call    fp_ld_bcde_hl
        call    fp_cmp
        dec     a
        jr      nz,2$
        ld      hl,#fpf_a
        call    fp_st_fac_hl
        ld      hl,#fpf_rt3
        call    fp_ld_bcde_hl
        call    fp_mul
        call    fpf_one
        set     7,c
        call    fp_add                  ; x sqrt3 - 1
        ld      hl,#fpf_b
        call    fp_st_fac_hl
        ld      hl,#fpf_a
        call    fp_ld_fac_hl
        ld      hl,#fpf_rt3
        call    fp_ld_bcde_hl
        call    fp_add                  ; x + sqrt3
        ld      hl,#fpf_b
        call    fp_ld_bcde_hl
        call    fp_div
        ld      hl,#fpf_q
        set     1,(hl)
2$:     ld      hl,#fpf_atnp
        call    fpf_oddpoly
        ld      a,(fpf_q)
        bit     1,a
        jr      z,3$
        ld      hl,#fpf_pi6
        call    fp_ld_bcde_hl
        call    fp_add
3$:     ld      a,(fpf_q)
        bit     0,a
        jr      z,4$
        ld      hl,#fpf_pi2
        call    fp_ld_bcde_hl
        call    fp_sub
4$:     ld      a,(fpf_q)
        or      a
        call    m,fp_neg
        jp      fpf_ret

; FAC = BCDE ^ FAC. Whole exponents below 64 by repeated squaring (a negative base
; allowed; -n as 1 / x^n while x^n stays inside the numbers), other whole ones and
; fractions through EXP and LOG; 0^0 = 1, 0^-y is "Division by zero", a negative base
; with a fraction "Illegal function call".
fp_pow::
        push    hl
        ld      (fpf_c),de
        ld      (fpf_c+2),bc            ; the base
        ld      a,(fac+3)
        or      a
        jr      nz,1$
        call    fpf_one                 ; x^0 = 1
        call    fp_ld_fac_bcde
        jp      fpf_ret
1$:     ld      hl,#fpf_d
        call    fp_st_fac_hl            ; the exponent y
        ld      a,b
        or      a
        jr      nz,2$
        ld      a,(fac+2)               ; zero base
        or      a
        jp      m,fpf_dz
        call    fp_zero
        jp      fpf_ret
2$:     call    fpi_clear
        jp      nz,6$                   ; y has a fraction
        ld      a,(fac+3)
        cp      #0x87
        jp      nc,5$                   ; 64 and more
        call    fpt_round               ; HL = |y|, C = its sign
        ld      a,c
        ld      (fpf_q),a
        or      a
        jp      p,24$
        ld      a,(fpf_c+3)             ; y = -n: x in [2^(k-1), 2^k) keeps x^n inside
        sub     #129                    ; the numbers when n * (k or 1-k) <= 126
        jr      nc,21$
        neg
        jr      22$
21$:    inc     a
22$:    ld      b,a
        ld      d,l
        ld      a,#126
23$:    sub     b
        jr      c,25$
        dec     d
        jr      nz,23$
24$:    ld      de,(fpf_c)
        ld      (fpf_a),de
        ld      de,(fpf_c+2)
        ld      (fpf_a+2),de            ; p = the base
        push    hl
        call    fpf_one
        call    fp_ld_fac_bcde          ; the product so far
        pop     hl
3$:     srl     l
        push    hl
        jr      nc,31$
        ld      hl,#fpf_a
        call    fp_ld_bcde_hl
        call    fp_mul
31$:    pop     hl
        ld      a,l
        or      a
        jr      z,4$
        push    hl
        ld      hl,#fpf_b
        call    fp_st_fac_hl
        ld      hl,#fpf_a
        call    fp_ld_fac_hl
        call    fp_ld_bcde_fac
        call    fp_mul                  ; p = p^2
        ld      hl,#fpf_a
        call    fp_st_fac_hl
        ld      hl,#fpf_b
        call    fp_ld_fac_hl
        pop     hl
        jr      3$
4$:     ld      a,(fpf_q)
        or      a
        jp      p,fpf_ret
        call    fpf_one                 ; a negative exponent: the reciprocal
        call    fp_div
        jp      fpf_ret
25$:    ld      a,l                     ; 1 / x^n is 0 or too large: EXP and LOG say
        rrca                            ; which, the sign from n's last bit
        and     #0x80
        ld      (fpf_q),a
        jr      7$
5$:     ld      hl,#fac+3               ; a large whole y: odd when y/2 has a fraction
        dec     (hl)
        call    fpi_clear
        ld      a,#0
        jr      z,51$
        ld      a,#0x80
51$:    ld      (fpf_q),a
        jr      7$
6$:     xor     a
        ld      (fpf_q),a
        ld      a,(fpf_c+2)
        or      a
        jp      m,fpf_fc
7$:     ld      hl,#fpf_c
        call    fp_ld_fac_hl
        call    fp_abs
        call    fp_log
        ld      hl,#fpf_d
        call    fp_ld_bcde_hl
        call    fp_mul
        call    fp_exp
        ld      a,(fpf_c+2)
        or      a
        jp      p,fpf_ret
        ld      a,(fpf_q)
        or      a
        call    m,fp_neg
        jp      fpf_ret

; FAC = RND(FAC): above 0 the next value in [0,1), 0 the last one again, below 0 the
; generator restarts from the argument's bytes first. A 32-bit xorshift generator.
fp_rnd::
        push    hl
        ld      a,(fac+3)
        or      a
        jr      z,2$
        ld      a,(fac+2)
        or      a
        jp      p,1$
        ld      hl,(fac)
        ld      (rnd_seed),hl
        ld      hl,(fac+2)
        ld      (rnd_seed+2),hl
        call    rnd_step
1$:     call    rnd_step
        call    rnd_float
        ld      hl,#rnd_last
        call    fp_st_fac_hl
        jp      fpf_ret
2$:     ld      hl,#rnd_last
        call    fp_ld_fac_hl
        jp      fpf_ret

; Restarts the generator from HL (RANDOMIZE); the same HL gives the same sequence. Two
; steps spread HL over the whole state: after one, the top bits (the first RND) hardly
; depend on it. Keeps BC, DE, HL.
fp_seed::
        push    bc
        push    de
        push    hl
        ld      (rnd_seed),hl
        ld      hl,#0x7C35
        ld      (rnd_seed+2),hl
        call    rnd_step
        call    rnd_step
        ld      hl,#0
        ld      (rnd_last),hl
        ld      (rnd_last+2),hl
        pop     hl
        pop     de
        pop     bc
        ret

; FAC = the state's top 24 bits / 2^24.
rnd_float:
        push    hl
        ld      de,(rnd_seed)
        ld      hl,(rnd_seed+2)
        ld      a,h
        ld      h,l
        ld      l,d
        ld      b,#0
        ld      de,#0x0080
        jp      fpn_norm

; The state x ^= x << 13, x ^= x >> 17, x ^= x << 5 (a zero state restarts).
rnd_step:
        ld      hl,(rnd_seed)
        ld      de,(rnd_seed+2)         ; x = D E H L
        ld      a,d
        or      e
        or      h
        or      l
        jr      nz,1$
        ld      de,#0x7C35
1$:     ld      b,#13
        call    rnd_xshl
        ld      a,d                     ; x >> 17 reaches only the low half
        srl     a
        ld      b,a
        ld      a,e
        rra
        xor     l
        ld      l,a
        ld      a,b
        xor     h
        ld      h,a
        ld      b,#5
        call    rnd_xshl
        ld      (rnd_seed),hl
        ld      (rnd_seed+2),de
        ret

; D E H L ^= D E H L << B.
rnd_xshl:
        push    de
        push    hl
1$:     add     hl,hl
        rl      e
        rl      d
        djnz    1$
        pop     bc
        ld      a,l
        xor     c
        ld      l,a
        ld      a,h
        xor     b
        ld      h,a
        pop     bc
        ld      a,e
        xor     c
        ld      e,a
        ld      a,d
        xor     b
        ld      d,a
        ret

; ---------------------------------------------------------------- constants
fpf_p1:         .db     0x00,0x00,0x49,0x81     ; pi/2, first 12 bits
fpf_p2:         .db     0x00,0xA0,0x7D,0x75     ; pi/2, next 12 bits
fpf_p3:         .db     0x69,0x21,0x22,0x69     ; pi/2, the rest
fpf_ln2a:       .db     0x00,0x72,0x31,0x80     ; ln 2, first 16 bits
fpf_ln2b:       .db     0x8E,0xBE,0x3F,0x6D     ; ln 2, the rest
fpf_2pi:        .db     0x83,0xF9,0x22,0x80     ; 0.6366197723675814
fpf_half:       .db     0x00,0x00,0x00,0x80     ; 0.5
fpf_1ln2:       .db     0x3B,0xAA,0x38,0x81     ; 1.4426950408889634
fpf_rt05:       .db     0xF3,0x04,0x35,0x80     ; 0.7071067811865476
fpf_rt3:        .db     0xD7,0xB3,0x5D,0x81     ; 1.7320508075688772
fpf_t12:        .db     0xA3,0x30,0x09,0x7F     ; 0.2679491924311227
fpf_pi6:        .db     0x92,0x0A,0x06,0x80     ; 0.5235987755982988
fpf_pi2:        .db     0xDB,0x0F,0x49,0x81     ; 1.5707963267948966
fpf_sinp:  ; sin r / r in r^2
        .db     5
        .db     0x1D,0xEF,0x38,0x6E     ; 2.7557319223985893e-06
        .db     0x01,0x0D,0xD0,0x74     ; -0.0001984126984126984
        .db     0x89,0x88,0x08,0x7A     ; 0.008333333333333333
        .db     0xAB,0xAA,0xAA,0x7E     ; -0.16666666666666666
        .db     0x00,0x00,0x00,0x81     ; 1
fpf_cosp:  ; cos r in r^2
        .db     6
        .db     0x7E,0xF2,0x93,0x6B     ; -2.755731922398589e-07
        .db     0x01,0x0D,0x50,0x71     ; 2.48015873015873e-05
        .db     0x61,0x0B,0xB6,0x77     ; -0.001388888888888889
        .db     0xAB,0xAA,0x2A,0x7C     ; 0.041666666666666664
        .db     0x00,0x00,0x80,0x80     ; -0.5
        .db     0x00,0x00,0x00,0x81     ; 1
fpf_expp:  ; e^r in r
        .db     8
        .db     0x01,0x0D,0x50,0x74     ; 0.0001984126984126984
        .db     0x61,0x0B,0x36,0x77     ; 0.001388888888888889
        .db     0x89,0x88,0x08,0x7A     ; 0.008333333333333333
        .db     0xAB,0xAA,0x2A,0x7C     ; 0.041666666666666664
        .db     0xAB,0xAA,0x2A,0x7E     ; 0.16666666666666666
        .db     0x00,0x00,0x00,0x80     ; 0.5
        .db     0x00,0x00,0x00,0x81     ; 1.0
        .db     0x00,0x00,0x00,0x81     ; 1.0
fpf_logp:  ; ln((1+s)/(1-s)) / s in s^2
        .db     5
        .db     0x39,0x8E,0x63,0x7E     ; 0.2222222222222222
        .db     0x25,0x49,0x12,0x7F     ; 0.2857142857142857
        .db     0xCD,0xCC,0x4C,0x7F     ; 0.4
        .db     0xAB,0xAA,0x2A,0x80     ; 0.6666666666666666
        .db     0x00,0x00,0x00,0x82     ; 2
fpf_atnp:  ; atn t / t in t^2
        .db     6
        .db     0x8C,0x2E,0xBA,0x7D     ; -0.09090909090909091
        .db     0x39,0x8E,0x63,0x7D     ; 0.1111111111111111
        .db     0x25,0x49,0x92,0x7E     ; -0.14285714285714285
        .db     0xCD,0xCC,0x4C,0x7E     ; 0.2
        .db     0xAB,0xAA,0xAA,0x7F     ; -0.3333333333333333
        .db     0x00,0x00,0x00,0x81     ; 1

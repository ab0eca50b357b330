; Start-up and the restart vectors of the BASIC ROM.
; Reset lands at 0x0000 with interrupts off. The keyboard interrupts in IM 2 with data byte
; 26 (vector word at 0x0034 with I = 0); the 50 Hz NMI at 0x0066 keeps the clock, the key
; repeat and the sound timer. The restarts hold the text scanner the whole interpreter uses:
;   rst 0x08  SYNCHK  the byte at HL must equal the byte after the rst; then CHRGET
;   rst 0x10  CHRGET  HL+1, skipping blanks; A = that byte; Z at ':', at ' (a remark ends the
;                     statement, as after a colon) or at the end of the line
;   rst 0x20  CHRGOT  as CHRGET without moving first
;   rst 0x28  CPDEHL  compares HL with DE: Z equal, C when HL < DE
        .module crt0
        .include "basic.inc"

        .area   _HEADER (ABS)
        .org    0x0000
        di
        ld      sp, #STACK_TOP
        jp      cold

        .org    0x0008
synchk::
        ld      a, (hl)
        ex      (sp), hl
        cp      (hl)
        inc     hl
        ex      (sp), hl
        jp      nz, err_syntax
chrget::
        inc     hl                      ; 0x0010
chrgot1::
        ld      a, (hl)
        cp      #0x20
        jr      z, chrget
        cp      #':
        ret     z                       ; 0x0018
        cp      #TK_REMQ
        ret     z
        or      a
        ret

        .org    0x0020
        jr      chrgot1

        .org    0x0028
        ld      a, h
        sub     d
        ret     nz
        ld      a, l
        sub     e
        ret

        .org    0x0034
        .dw     key_isr

        .org    0x0038
        ei                              ; a stray IM 1 request: ignore it
        reti

        .org    0x0066
        jp      nmi_handler

; Cold start, also after Reset: RAM is kept, so a program that is still intact survives.
; The code that runs from RAM is unpacked first, every time.
cold:   xor     a
        out     (PORT_SOUND), a         ; the tone stops
        ld      i, a
        im      2
        ld      hl, #pack_blob
        ld      de, #s__RCODE0
        call    unpack
        ld      de, #s__RCODE1
        call    unpack
        ld      de, #s__RCODE2
        call    unpack
        ld      de, #s__RCODE3
        call    unpack
        call    prg_check               ; Z: the program in memory is intact, ending at DE
        push    de
        push    af
        call    ram_init
        call    con_init
        call    dev_close_all
        ei
        ld      hl, #banner
        call    prt_str
        pop     af
        pop     de
        jr      nz, 1$
        call    prg_keep
        ld      hl, #kept
        call    prt_str
        jr      2$
1$:     call    prg_new
2$:     call    prt_free
        jp      ready

banner: .ascii  "Vorlix BASIC 2.0"
        .db     13, 0
kept:   .ascii  "Program kept"
        .db     13, 0

; The areas, in the order the linker lays them out: the packed RAM code follows the code.
        .area   _CODE

; RAM to its start state: everything in the variable area zero, then what needs a value.
ram_init::
        ld      hl, #s__DATA
        ld      de, #s__DATA + 1
        ld      bc, #l__DATA - 1
        ld      (hl), #0
        ldir
        call    tok_init
        call    io_reset
        call    str_reset
        call    data_reset
        ld      hl, #STACK_TOP
        ld      (base_sp), hl
        ld      hl, #1                  ; RND's numbers are the same after every start
        jp      fp_seed

; Unpacks the stream at HL to DE; HL ends after it. The stream is a series of items led by
; a flag bit: 0, a byte to copy; 1, a match: gamma-coded high byte of (offset - 1) plus one,
; its low byte, and the gamma-coded length - 1; a high byte plus one of 256 ends it. Bits
; come from A, refilled from the stream (tools/rom-pack.cpp writes the streams).
unpack: ld      a, #0x80
1$:     add     a, a                    ; the flag bit (as getbit does, inline)
        jr      nz, 3$
        ld      a, (hl)
        inc     hl
        adc     a, a
3$:     jr      c, 2$
        ldi
        jr      1$
2$:     call    gamma
        inc     b
        dec     b
        ret     nz
        dec     c
        ld      b, c
        ld      c, (hl)
        inc     hl
        inc     bc                      ; the offset
        push    bc
        call    gamma
        inc     bc                      ; the length
        ex      (sp), hl
        push    de
        ex      de, hl
        and     a
        sbc     hl, de                  ; where the match is copied from
        pop     de
        ldir
        pop     hl
        jr      1$
; BC = a gamma-coded number: 0 and a bit per binary digit after the leading 1, then 1. The
; next bit comes from A, shifted out to the left; a byte of eight more is loaded when only
; the marker bit is left.
gamma:  ld      bc, #1
1$:     add     a, a
        jr      nz, 2$
        ld      a, (hl)
        inc     hl
        adc     a, a
2$:     ret     c
        add     a, a
        jr      nz, 3$
        ld      a, (hl)
        inc     hl
        adc     a, a
3$:     rl      c
        rl      b
        jr      1$

        .area   _BLOB
pack_blob::
        .area   _RCODE0
        .area   _RCODE1
        .area   _RCODE2
        .area   _RCODE3

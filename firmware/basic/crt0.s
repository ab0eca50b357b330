; Start-up and the restart vectors of the BASIC ROM.
; Reset lands at 0x0000 with interrupts off. The keyboard interrupts in IM 2 with data byte
; 26 (vector word at 0x0034 with I = 0); the 50 Hz NMI at 0x0066 keeps the clock, the key
; repeat and the sound timer. The restarts hold the text scanner the whole interpreter uses:
;   rst 0x08  SYNCHK  the byte at HL must equal the byte after the rst; then CHRGET
;   rst 0x10  CHRGET  HL+1, skipping blanks; A = that byte; Z at ':' or end of line
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
synchk: ld      a, (hl)
        ex      (sp), hl
        cp      (hl)
        inc     hl
        ex      (sp), hl
        jp      nz, err_syntax
chrget: inc     hl                      ; 0x0010
chrgot1:
        ld      a, (hl)
        cp      #0x20
        jr      z, chrget
        cp      #':
        ret     z                       ; 0x0018
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
cold:   xor     a
        out     (PORT_SOUND), a         ; the tone stops
        ld      i, a
        im      2
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
        ret

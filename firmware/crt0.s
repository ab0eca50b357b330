; Start-up and interrupt code of the BASIC ROM. Reset lands at 0x0000 with interrupts off;
; the keyboard interrupts in IM 2 with data byte 26 (vector word at 0x0034 with I = 0) and
; the 50 Hz NMI at 0x0066 keeps the clock and the key repeat.
        .module crt0
        .globl  _main
        .globl  _kbuf, _khead, _ktail, _krep, _kcount, _kbrk, _ticks

STACK_TOP       = 0x6000
REPEAT_DELAY    = 25            ; frames before a held key repeats
REPEAT_RATE     = 5             ; frames between repeats

        .area   _HEADER (ABS)
        .org    0x0000
        di
        ld      sp, #STACK_TOP
        jp      init

        .org    0x0034
        .dw     key_isr         ; I * 256 + 2 * 26

        .org    0x0038
        ei                      ; stray IM 1 request: ignore it
        reti

        .org    0x0066
nmi:    push    af
        push    hl
        ld      hl, (_ticks)
        inc     hl
        ld      (_ticks), hl
        in      a, (56)
        rla                     ; bit 7: a key is held
        jr      nc, nmi_done
        ld      hl, #_kcount
        dec     (hl)
        jr      nz, nmi_done
        ld      (hl), #REPEAT_RATE
        in      a, (56)
        and     #0x7F
        ld      (_krep), a
nmi_done:
        pop     hl
        pop     af
        retn

init:   ld      hl, #0x4000     ; clear the low RAM block that holds our variables
        ld      de, #0x4001
        ld      bc, #0x1FFF
        ld      (hl), #0
        ldir
        call    gsinit
        xor     a
        ld      i, a
        im      2
        ei
        call    _main
halt_loop:
        halt
        jr      halt_loop

; Key press: queue the code, arm the repeat and note Ctrl+C for the interpreter.
key_isr:
        push    af
        push    de
        push    hl
        in      a, (56)
        and     #0x7F
        ld      e, a
        cp      #3
        jr      nz, 1$
        ld      (_kbrk), a
1$:     ld      a, #REPEAT_DELAY
        ld      (_kcount), a
        xor     a
        ld      (_krep), a
        ld      a, (_khead)
        ld      d, a
        inc     a
        and     #15
        ld      hl, #_ktail
        cp      (hl)
        jr      z, 2$           ; queue full: drop the key
        ld      (_khead), a
        ld      a, e
        ld      e, d
        ld      d, #0
        ld      hl, #_kbuf
        add     hl, de
        ld      (hl), a
2$:     pop     hl
        pop     de
        pop     af
        ei
        reti

        .area   _HOME
        .area   _CODE
        .area   _INITIALIZER
        .area   _GSINIT
        .area   _GSFINAL
        .area   _DATA
_kbuf:: .ds     16
_khead:: .ds    1
_ktail:: .ds    1
_krep:: .ds     1
_kcount:: .ds   1
_kbrk:: .ds     1
_ticks:: .ds    2
        .area   _INITIALIZED
        .area   _BSEG
        .area   _BSS
        .area   _HEAP

        .area   _GSINIT
gsinit: ld      bc, #l__INITIALIZER
        ld      a, b
        or      a, c
        jr      z, gsinit_done
        ld      de, #s__INITIALIZED
        ld      hl, #s__INITIALIZER
        ldir
gsinit_done:
        .area   _GSFINAL
        ret

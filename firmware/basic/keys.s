; The keyboard and the 50 Hz NMI: the key queue, key repeat, Ctrl+C, the clock and the sound
; timer.
;
; The keyboard interrupts on each press with the code in port 56, bit 7 set while a key is
; held. key_isr queues the code; the NMI repeats a held key by leaving its code in kq_rep,
; one slot that the reader takes after the queue: the NMI may come in the middle of
; anything, so it never touches the queue itself. Only key_isr moves kq_head; the readers
; move kq_tail with interrupts off, since Ctrl+C empties the queue from key_isr.

        .module keys
        .include "basic.inc"

        .globl  scr_curaddr, ed_ins

KEYQ            = 32            ; queue entries (a power of two)
REPEAT_DELAY    = 25            ; frames before a held key repeats
REPEAT_RATE     = 3             ; frames between repeats
BEEP_SOUND      = 0x01          ; the high oscillator, steady
BEEP_FRAMES     = 6

        .area   _DATA
brkflag::       .ds 1           ; non-zero after Ctrl+C
ticks::         .ds 3           ; NMIs counted, low byte first
snd_timer::     .ds 1           ; frames until port 6 is written 0; 0 = no timer
kq_buf:         .ds KEYQ
kq_head:        .ds 1           ; entries written, modulo 256
kq_tail:        .ds 1           ; entries read, modulo 256
kq_delay:       .ds 1           ; frames to the next repeat
kq_rep:         .ds 1           ; a repeated key not yet read, or 0

        .area   _CODE

; key_isr: the keyboard interrupt (IM 2). Ctrl+C (code 3) sets brkflag and empties the
; queue instead of being queued; code 0 cannot be told from "no key" and is dropped; a key
; that finds the queue full is lost.
key_isr::
        push    af
        push    hl
        in      a, (PORT_KEYS)
        and     #0x7F
        jr      z, 9$
        ld      hl, #kq_delay
        ld      (hl), #REPEAT_DELAY
        inc     hl
        ld      (hl), #0        ; a repeat due before this press is void
        cp      #3
        jr      nz, 1$
        ld      (brkflag), a
        ld      a, (kq_head)
        ld      (kq_tail), a
        jr      9$
1$:     push    de
        ld      e, a
        ld      a, (kq_tail)
        ld      d, a
        ld      a, (kq_head)
        ld      l, a
        sub     d
        cp      #KEYQ
        jr      nc, 8$
        ld      a, l
        inc     a
        ld      (kq_head), a
        ld      a, l
        and     #KEYQ-1
        ld      hl, #kq_buf
        call    scr_addhl
        ld      (hl), e
8$:     pop     de
9$:     pop     hl
        pop     af
        ei
        reti

; nmi_handler: the 50 Hz NMI. Counts ticks, runs the sound timer down, repeats a held key.
nmi_handler::
        push    af
        push    hl
        ld      hl, #ticks
        inc     (hl)
        jr      nz, 1$
        inc     hl
        inc     (hl)
        jr      nz, 1$
        inc     hl
        inc     (hl)
1$:     ld      hl, #snd_timer
        ld      a, (hl)
        or      a
        jr      z, 2$
        dec     (hl)
        jr      nz, 2$
        xor     a
        out     (PORT_SOUND), a
2$:     in      a, (PORT_KEYS)
        add     a, a            ; carry: a key is held
        jr      nc, 3$
        ld      hl, #kq_delay
        dec     (hl)
        jr      nz, 3$
        ld      (hl), #REPEAT_RATE
        rrca                    ; the code, bit 7 clear
        cp      #3
        jr      z, 3$           ; Ctrl+C does not repeat
        inc     hl
        ld      (hl), a
3$:     pop     hl
        pop     af
        retn

; con_inkey: A = the next key, or 0 if none, without waiting. Keeps BC, DE, HL. Enables
; interrupts.
con_inkey::
        push    hl
        di
        ld      hl, #kq_tail
        ld      a, (kq_head)
        cp      (hl)
        jr      z, 1$
        ld      a, (hl)
        inc     (hl)
        and     #KEYQ-1
        ld      hl, #kq_buf
        call    scr_addhl
        ld      a, (hl)
        jr      2$
1$:     ld      hl, #kq_rep
        ld      a, (hl)
        ld      (hl), #0
2$:     ei
        pop     hl
        ret

; con_flush: empties the key queue. Enables interrupts.
con_flush::
        di
        ld      a, (kq_head)
        ld      (kq_tail), a
        xor     a
        ld      (kq_rep), a
        ei
        ret

; con_beep: a short tone; the NMI ends it.
con_beep::
        ld      a, #BEEP_FRAMES
        ld      (snd_timer), a
        ld      a, #BEEP_SOUND
        out     (PORT_SOUND), a
        ret

; con_getkey: waits for a key, A = its code; carry set (and brkflag cleared) on Ctrl+C.
; While it waits the cursor's cell has bit 7 flipped, so the display blinks it; in insert
; mode only every other 16 frames, a slower blink. The cell is restored before returning.
con_getkey::
        call    scr_curaddr
        ld      c, (hl)
1$:     ld      a, (brkflag)
        or      a
        jr      nz, 3$
        call    con_inkey
        or      a
        jr      nz, 4$
        ld      a, (ticks)
        and     #0x10
        ld      b, a
        ld      a, (ed_ins)
        and     b
        ld      a, c
        jr      nz, 2$
        xor     #0x80
2$:     ld      (hl), a
        halt
        jr      1$
3$:     xor     a
        ld      (brkflag), a
        ld      a, #3
        scf
4$:     ld      (hl), c
        ret

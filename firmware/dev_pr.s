; Printer ROM at 0x7800: routines over the printer channel on port 254.
; B is the slot; the channel takes at most 255 bytes a write, so print splits longer runs.
        .module dev_pr
        .area   _CODE
        jp      open            ; 0x7800  B slot -> HL buffer, A status
        jp      print           ; 0x7803  B slot, HL text, DE length -> A status
        jp      close           ; 0x7806  B slot
        .ascii  "PRN1"

open:   ld      a, #1
        out     (254), a
        in      a, (254)
        ret

close:  ld      a, #2
        out     (254), a
        xor     a
        ret

print:  ld      a, d
        or      a, e
        ret     z               ; A = 0: nothing left
        ld      c, #255
        ld      a, d
        or      a, a
        jr      nz, 1$          ; 256 or more left: a full run
        ld      a, e
        cp      a, c
        jr      nc, 1$
        ld      c, e            ; the last, short run
1$:     ld      a, #4
        out     (254), a
        ld      a, e            ; DE -= C, HL += C
        sub     a, c
        ld      e, a
        jr      nc, 2$
        dec     d
2$:     ld      a, l
        add     a, c
        ld      l, a
        jr      nc, print
        inc     h
        jr      print

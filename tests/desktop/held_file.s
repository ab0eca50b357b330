; A system ROM for the desktop program's tests: it opens HELD.BIN on slot 0 of the file store
; for writing, writes one record holding the bytes 0 to 255, and then keeps the file open for
; ever, as a program still at work would. The periodic NMI returns at once.
        .module held_file
        .area   _CODE
start:
        di
        ld      sp, #0x0000
        ld      b, #0
        ld      de, #name
        ld      a, #1           ; open for writing: HL = the slot's buffer, 0xF500
        out     (255), a
        push    hl
        ld      b, #0           ; 256 bytes
1$:     ld      (hl), l         ; byte n of the record is n
        inc     hl
        djnz    1$
        pop     hl
        ld      b, #0
        ld      a, #6           ; write the record
        out     (255), a
2$:     jr      2$
name:   .ascii  "HELD    BIN"

        .area   _DATA           ; no variables

        .area   NMI (ABS)
        .org    0x0066
        retn

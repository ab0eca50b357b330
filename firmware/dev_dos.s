; File-store ROM at 0x6000: thin routines over the file channel on port 255.
; Callers use the jump table; B is the slot, DE an 11-byte 8+3 name, HL a 256-byte buffer.
; Every routine returns the channel status in A (0 done, 0xFF failed).
        .module dev_dos
        .area   _CODE
        jp      open_read       ; 0x6000  B slot, DE name -> HL buffer, A status
        jp      open_write      ; 0x6003  B slot, DE name -> HL buffer, A status
        jp      close           ; 0x6006  B slot
        jp      read_block      ; 0x6009  B slot, HL buffer -> A status
        jp      write_block     ; 0x600C  B slot, HL buffer -> A status
        .ascii  "DOS1"

open_read:
        xor     a
        jr      command
open_write:
        ld      a, #1
        jr      command
close:  ld      a, #2
        jr      command
read_block:
        ld      a, #5
        jr      command
write_block:
        ld      a, #6
command:
        out     (255), a
        in      a, (255)
        ret

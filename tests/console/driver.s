; A test image for the console modules: its own vectors, then a loop that reads a line with
; con_getline and shows what came back. The text typed selects:
;   >text   shows text without a new line: the prompt of the next line
;   k       polls con_inkey until Enter comes, showing each code in hex
;   o       shows a clear screen, "AB", 0x08, "C", 0x11, "d", 0x07 and a new line
;   l       con_locate to row 200 (clamped to 23), column 38, shows "XYZ", then con_row and
;           con_col in hex
; anything else: "(text)A" (A = 1 from the input line, 0 from another; "?" after the text
; if B does not end it), "BRK" on Ctrl+C.
        .module driver
        .include "basic.inc"

        .area   _HEADER (ABS)
        .org    0x0000
        di
        ld      sp, #STACK_TOP
        jp      start
        .org    0x0034
        .dw     key_isr
        .org    0x0066
        jp      nmi_handler

        .area   _CODE
start:  xor     a
        ld      i, a
        im      2
        call    con_init
        ei
loop:   call    con_getline
        jr      c, brk
        push    af
        ld      a, (hl)
        cp      #'>'
        jr      z, prompt
        ld      c, a
        ld      a, b
        dec     a
        ld      a, c
        jr      nz, show
        cp      #'k'
        jr      z, poll
        cp      #'o'
        jr      z, out
        cp      #'l'
        jr      z, locate
show:   ld      a, #'('         ; B characters, then "?" unless a zero follows
        call    con_putc
        ld      a, b
        or      a
        jr      z, 2$
1$:     ld      a, (hl)
        call    con_putc
        inc     hl
        djnz    1$
2$:     ld      a, (hl)
        or      a
        jr      z, 3$
        ld      a, #'?'
        call    con_putc
3$:     ld      a, #')'
        call    con_putc
        pop     af
        add     a, #'0'
        call    con_putc
newline:
        ld      a, #13
        call    con_putc
        jr      loop
prompt: pop     af
        inc     hl
        call    puts
        jr      loop
brk:    ld      hl, #brktext
        call    puts
        jr      loop
out:    pop     af
        ld      hl, #outtext
        call    puts
        jr      loop
locate: pop     af
        ld      bc, #200*256+38
        call    con_locate
        ld      hl, #xyz
        call    puts
        call    con_row
        call    hex
        call    con_col
        call    hex
        jr      newline
poll:   pop     af
1$:     call    con_inkey
        or      a
        jr      z, 2$
        cp      #13
        jr      z, newline
        call    hex
        jr      1$
2$:     halt
        jr      1$

puts:   ld      a, (hl)
        or      a
        ret     z
        call    con_putc
        inc     hl
        jr      puts

hex:    push    af
        rrca
        rrca
        rrca
        rrca
        call    1$
        pop     af
1$:     and     #15
        add     a, #'0'
        cp      #'9'+1
        jr      c, 2$
        add     a, #7
2$:     jp      con_putc

brktext:
        .ascii  "BRK"
        .db     13, 0
outtext:
        .db     12
        .ascii  "AB"
        .db     8
        .ascii  "C"
        .db     0x11
        .ascii  "d"
        .db     7, 13, 0
xyz:    .ascii  "XYZ"
        .db     0

; The BASIC links some of the console's modules to run from RAM: here every such area runs
; where it is linked, in this image's ROM (the build gives them addresses there).
        .area   _RCODE0
        .area   _RCODE1
        .area   _RCODE2
        .area   _RCODE3

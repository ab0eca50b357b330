; Screen output: the cursor, scrolling and the links that join the rows of a logical line.
;
; Video memory holds 24 rows of 40 cells, interleaved: row r starts at 0x7C00 + (r mod 8) *
; 128 + (r div 8) * 40, so no row crosses a 256-byte page and a column is added to the low
; byte alone. scr_links has a byte per row: bit 0 set when the row continues the logical
; line of the row above (a long line wrapped onto it), bit 1 on the row where con_getline's
; input starts. The links move with the rows.
;
; The cursor column runs to 40: after a character in the last column the cursor waits there
; and moves down only when more text follows, so a full row ended by a new line takes one row.

        .module screen
        .include "basic.inc"

        .globl  con_beep, con_flush, brkflag, snd_timer, ed_ins

        .area   _DATA
scr_col::       .ds 1           ; 0-39, 40 while a wrap is pending
scr_row::       .ds 1           ; follows scr_col: ld de, (scr_col) gives D = row, E = column
scr_links::     .ds CON_ROWS

        .area   _RCODE1

; con_init: clears the screen and the links, cursor home, empties the key queue; no sound,
; no break pending, overtype mode. Leaves ticks alone.
con_init::
        xor     a
        ld      (brkflag), a
        ld      (snd_timer), a
        ld      (ed_ins), a
        out     (PORT_SOUND), a
        call    con_flush
        ; fall through

; con_cls: clears the screen and the links, cursor home.
con_cls::
        ld      a, #CON_ROWS-1
1$:     push    af
        call    clear_row
        pop     af
        dec     a
        jp      p, 1$
        ld      hl, #0
        ld      (scr_col), hl
        ret

; con_locate: cursor to row B, column C (clamped to the screen).
con_locate::
        ld      a, b
        cp      #CON_ROWS
        jr      c, 1$
        ld      a, #CON_ROWS-1
1$:     ld      (scr_row), a
        ld      a, c
        cp      #CON_COLS
        jr      c, 2$
        ld      a, #CON_COLS-1
2$:     ld      (scr_col), a
        ret

; con_col / con_row: A = cursor column (40 while a wrap is pending) / row.
con_col::
        ld      a, (scr_col)
        ret
con_row::
        ld      a, (scr_row)
        ret

; con_putc: shows A: 0x0D new line, 0x0C clear screen, 0x08 cursor left, 0x07 beep; any
; other byte is stored as it is. Keeps BC, DE, HL.
con_putc::
        push    hl
        push    de
        push    bc
        call    putc
        pop     bc
        pop     de
        pop     hl
        ret

putc:   cp      #0x0D
        jr      z, scr_newline
        cp      #0x0C
        jr      z, con_cls
        cp      #0x07
        jp      z, con_beep
        cp      #0x08
        jr      z, back
        push    af
        ld      a, (scr_col)
        cp      #CON_COLS
        call    nc, scr_wrap
        call    scr_curaddr
        pop     af
        ld      (hl), a
        ld      hl, #scr_col
        inc     (hl)
        ret

back:   ld      hl, #scr_col
        ld      a, (hl)
        or      a
        jr      z, 1$
        dec     (hl)            ; also from a pending wrap to column 39
        ret
1$:     inc     hl
        or      (hl)            ; row 0, column 0: stay
        ret     z
        dec     (hl)
        dec     hl
        ld      (hl), #CON_COLS-1
        ret

; scr_wrap: cursor to the start of the next row, which continues the logical line unless the
; line spans CON_LINE_ROWS rows already. scr_newline: the same, the row starting a new line.
; Both scroll at the bottom.
scr_wrap::
        ld      a, (scr_row)
        ld      c, a
        call    scr_linestart      ; B = 0 when the line is full
        xor     a
        cp      b
        rla                     ; A = 1 when there is room
        jr      nl
scr_newline::
        xor     a
nl:     push    af
        ld      a, (scr_row)
        cp      #CON_ROWS-1
        call    nc, scr_scroll
        ld      hl, #scr_row
        inc     (hl)
        ld      a, (hl)
        dec     hl
        ld      (hl), #0
        call    scr_link
        pop     af
        ld      (hl), a
        ret

; scr_linestart: C = a row; returns C = the first row of its logical line, walking up at most
; CON_LINE_ROWS-1 rows, and B = how many more rows the line could take. Keeps DE.
scr_linestart::
        ld      b, #CON_LINE_ROWS-1
1$:     ld      a, c
        or      a
        ret     z
        call    scr_link
        bit     0, (hl)
        ret     z
        dec     c
        djnz    1$
        ret

; scr_scroll: every row moves up one, with its link; the top row is lost, the bottom one
; cleared; the cursor moves up with its text.
scr_scroll::
        ld      hl, #scr_row
        ld      a, (hl)
        or      a
        jr      z, 1$
        dec     (hl)
1$:     ld      b, #0
2$:     ld      a, b
        inc     a
        call    copy_row
        inc     b
        ld      a, b
        cp      #CON_ROWS-1
        jr      c, 2$
        jr      clear_row

; scr_insrow: A = a row; it and the rows below move down one (the bottom row is lost) and
; it is cleared. The cursor stays where it is.
scr_insrow::
        ld      c, a
        ld      b, #CON_ROWS-1
1$:     ld      a, b
        cp      c
        jr      z, clear_row
        dec     a
        call    copy_row
        dec     b
        jr      1$

; clear_row: row A becomes blanks and starts a logical line.
clear_row:
        push    af
        call    scr_rowaddr
        ld      b, #CON_COLS
1$:     ld      (hl), #' '
        inc     hl
        djnz    1$
        pop     af
        call    scr_link
        ld      (hl), #0
        ret

; copy_row: row A to row B, cells and link. Keeps BC.
copy_row:
        push    af
        call    scr_rowaddr
        push    hl
        ld      a, b
        call    scr_rowaddr
        ex      de, hl
        pop     hl
        push    bc
        ld      bc, #CON_COLS
        ldir
        pop     bc
        pop     af
        call    scr_link
        ld      a, (hl)
        push    af
        ld      a, b
        call    scr_link
        pop     af
        ld      (hl), a
        ret

; scr_curaddr: HL = the cell where the cursor shows; with a wrap pending that is the start of
; the next row (on the bottom row, its last cell). Destroys A, DE.
scr_curaddr::
        ld      de, (scr_col)
        ld      a, e
        cp      #CON_COLS
        jr      c, cell_at
        dec     e
        ld      a, d
        cp      #CON_ROWS-1
        jr      nc, cell_at
        inc     d
        ld      e, #0
        ; fall through

; cell_at: HL = the cell at row D, column E. Keeps BC, DE.
cell_at:
        ld      a, d
        call    scr_rowaddr
        ld      a, e
        jr      scr_addhl

; scr_link: HL = the link byte of row A. Keeps BC, DE.
scr_link::
        ld      hl, #scr_links
        ; fall through

; scr_addhl: HL += A. Keeps BC, DE.
scr_addhl::
        add     a, l
        ld      l, a
        ret     nc
        inc     h
        ret

; scr_rowaddr: HL = the first cell of row A (0-23). Keeps BC, DE.
scr_rowaddr::
        ld      l, a
        and     #0x18           ; (row div 8) * 8
        ld      h, a
        add     a, a
        add     a, a
        add     a, h            ; (row div 8) * 40
        ld      h, a
        ld      a, l
        rrca
        and     #0x80           ; odd rows of a block sit in its upper half
        or      h
        ld      h, a
        ld      a, l
        and     #6
        rrca                    ; (row mod 8) div 2: the page
        add     a, #>VIDEO
        ld      l, h
        ld      h, a
        ret

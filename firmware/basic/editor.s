; The screen editor: con_getline reads a logical line with the machine's keys.
;
; The cursor moves freely over the screen. Each key works on the logical line under the
; cursor: its rows are copied into con_buf, the key changes the copy and the copy is written
; back, so inserting and deleting are block moves however the rows lie in video memory. The
; line's editable text begins at the input start on the line where the input started (its
; row is marked in scr_links, so the mark moves with the rows), elsewhere at the line's first
; column: the prompt before the input start can be neither reached nor returned.
;
; A line that grows past its last cell gets a new row below (the rows under it move down, or
; the screen scrolls up at the bottom). The text from the start is limited to 255 characters
; and a line to CON_LINE_ROWS rows; a key that would go past either beeps and flashes the
; line.

        .module editor
        .include "basic.inc"

        .globl  scr_col, scr_row, scr_links, scr_link, scr_addhl, scr_rowaddr, scr_linestart
        .globl  scr_wrap, scr_newline, scr_scroll, scr_insrow, con_cls, con_getkey, con_beep

        .area   _DATA
con_buf::       .ds CON_LINE_ROWS*CON_COLS  ; the line's rows while editing; then the text
ed_ins::        .ds 1           ; 0xFF in insert mode, else 0
ed_incol:       .ds 1           ; column of the input start
ed_ch:          .ds 1           ; the character being typed
ed_s:           .ds 1           ; first row of the line under the cursor
ed_n:           .ds 1           ; its number of rows
ed_inp:         .ds 1           ; 1 when it is the input line
ed_start:       .ds 2           ; in con_buf: where the editable text begins
ed_cur:         .ds 2           ;   the cursor
ed_text:        .ds 2           ;   after the last non-blank
ed_end:         .ds 2           ;   after the last cell

        .area   _CODE

; Ctrl+C: nothing taken.
ed_brk:
        ld      hl, (ed_start)
        ld      (ed_text), hl
        scf
        jr      ed_done

; Enter: the text from the start to the last non-blank, at most 255 characters.
ed_enter:
        pop     af              ; the return to the loop
        or      a
ed_done:
        push    af
        ld      hl, (ed_text)
        ld      de, (ed_start)
        or      a
        sbc     hl, de
        ld      a, h
        or      a
        jr      z, 1$
        ld      l, #255
1$:     ld      c, l
        ld      b, #0
        push    bc
        ex      de, hl
        ld      de, #con_buf
        ld      a, c
        or      a
        jr      z, 2$
        ldir                    ; down to the start of the buffer: the copy never overtakes
2$:     xor     a
        ld      (de), a
        ld      a, (ed_s)
        ld      hl, #ed_n
        add     a, (hl)
        dec     a
        ld      (scr_row), a
        call    scr_newline
        call    ed_unmark
        pop     bc
        ld      b, c
        pop     af
        ld      a, (ed_inp)
        ld      hl, #con_buf
        ret

; con_getline: reads a logical line from the cursor on. Returns HL = con_buf holding the text
; (trailing blanks dropped, zero-terminated), B = its length, A = 1 if it came from the input
; line, 0 from another one; carry set on Ctrl+C (B = 0). The cursor ends at the start of the
; row after the line.
con_getline::
        call    ed_unmark
        ld      a, (scr_col)
        cp      #CON_COLS
        call    nc, scr_wrap    ; input after a full row begins on the row below
        ld      a, (scr_col)
        ld      (ed_incol), a
        ld      a, (scr_row)
        call    scr_link
        set     1, (hl)
ed_loop:
        call    ed_sync
        call    con_getkey
        jr      c, ed_brk
        ld      hl, #ed_loop
        push    hl              ; the key handlers return to the loop
        ld      hl, #ed_keys
        ld      b, #ED_NKEYS
1$:     cp      (hl)
        inc     hl
        jr      z, 2$
        inc     hl
        inc     hl
        djnz    1$
        cp      #0x20
        ret     c               ; other control codes do nothing
        ld      (ed_ch), a
        jr      ed_type
2$:     ld      a, (hl)
        inc     hl
        ld      h, (hl)
        ld      l, a
        jp      (hl)

; A character: overtyped, or inserted with the rest of the line moving right.
ed_type:
        ld      hl, (ed_text)   ; the text's new end: after the cursor or one further
        ld      a, (ed_ins)
        or      a
        jr      z, 1$
        inc     hl
1$:     ld      de, (ed_cur)
        inc     de
        or      a
        sbc     hl, de
        add     hl, de
        jr      nc, 2$
        ex      de, hl
2$:     ld      de, (ed_start)
        or      a
        sbc     hl, de
        ld      a, h
        or      a
        jp      nz, ed_refuse   ; more than 255 characters
        ld      hl, (ed_end)
        ld      de, (ed_cur)
        sbc     hl, de
        jr      z, ed_grow      ; past the last cell
        ld      a, (ed_ins)
        or      a
        jr      z, 4$
        ld      hl, (ed_end)
        ld      de, (ed_text)
        sbc     hl, de
        jr      z, ed_grow      ; inserting into a full line
        ld      hl, (ed_end)
        dec     hl
        ld      d, h
        ld      e, l
        ld      bc, (ed_cur)
        sbc     hl, bc          ; cells from the cursor to the last but one
        jr      z, 4$
        ld      b, h
        ld      c, l
        ld      h, d
        ld      l, e
        dec     hl
        lddr
4$:     ld      hl, (ed_cur)
        ld      a, (ed_ch)
        ld      (hl), a
        inc     hl
        ld      (ed_cur), hl
        call    ed_store
        ; fall through

; ed_setcur: the screen cursor from ed_cur; past the last cell it is the pending wrap at the
; end of the line's last row.
ed_setcur:
        ld      hl, (ed_end)
        ld      de, (ed_cur)
        or      a
        sbc     hl, de
        ex      de, hl
        ld      de, #con_buf
        jr      nz, 1$
        inc     de              ; the last cell's column, plus one below
1$:     push    af
        or      a
        sbc     hl, de
        call    div40
        ld      h, a
        pop     af
        jr      nz, 2$
        inc     l
2$:     ld      a, (ed_s)
        add     a, h
        ld      h, a
        ld      (scr_col), hl
        ret

; A new row under the line for it to grow into, then the character again.
ed_grow:
        ld      a, (ed_n)
        cp      #CON_LINE_ROWS
        jr      nc, ed_refuse
        ld      hl, #ed_s
        add     a, (hl)         ; the row after the line
        cp      #CON_ROWS
        jr      c, 1$
        call    scr_scroll      ; at the bottom: everything moves up, the cursor too
        ld      a, #CON_ROWS-1
        jr      2$
1$:     push    af
        call    scr_insrow
        pop     af
2$:     call    scr_link
        set     0, (hl)
        call    ed_sync
        jp      ed_type

; A key that would make the line too long: a beep and the line shown inverted for 16
; frames, which holds one whole blink phase of the display.
ed_refuse:
        call    con_beep
        call    ed_flip
        ld      b, #16
1$:     halt
        djnz    1$
        ; fall through
ed_flip:
        ld      hl, (ed_end)
        ld      de, #con_buf
        or      a
        sbc     hl, de
        ld      b, h
        ld      c, l
        ex      de, hl
1$:     ld      a, (hl)
        xor     #0x80
        ld      (hl), a
        cpi
        jp      pe, 1$
        ; fall through

; ed_store / ed_load: the line's rows from con_buf to the screen / from the screen.
ed_store:
        or      a
        jr      ed_xfer
ed_load:
        scf
ed_xfer:
        ld      a, (ed_n)
        ld      b, a
        ld      a, (ed_s)
        ld      de, #con_buf
1$:     push    af
        call    scr_rowaddr
        pop     af
        push    af
        jr      c, 2$
        ex      de, hl
2$:     push    bc
        ld      bc, #CON_COLS
        ldir
        pop     bc
        pop     af
        jr      c, 3$
        ex      de, hl
3$:     inc     a
        djnz    1$
        ret

; Backspace erases left at the end of the text and in insert mode; in overtype mode inside
; the text it only moves left, like the left arrow, which gives the same code.
ed_bs:
        ld      a, (ed_ins)
        or      a
        jr      nz, 1$
        ld      hl, (ed_cur)
        ld      de, (ed_text)
        or      a
        sbc     hl, de
        jr      c, ed_left
1$:     ld      hl, (ed_cur)
        ld      de, (ed_start)
        or      a
        sbc     hl, de
        ret     z               ; nothing before the cursor to erase
        add     hl, de
        dec     hl
        ld      (ed_cur), hl
        call    ed_setcur
        ; fall through

; Ctrl+G: deletes the character under the cursor; the rest of the line moves left.
ed_del:
        ld      de, (ed_cur)
        ld      hl, (ed_end)
        dec     hl
        or      a
        sbc     hl, de          ; cells after the cursor
        ret     c               ; the cursor is past the last cell
        jr      z, 1$
        ld      b, h
        ld      c, l
        ld      h, d
        ld      l, e
        inc     hl
        ldir
1$:     ex      de, hl
        ld      (hl), #' '
        jr      ed_store

; Ctrl+Y: clears the line's text, cursor to its start.
ed_clear:
        call    ed_home
        ; fall through

; Ctrl+T: clears from the cursor to the end of the line.
ed_kill:
        ld      hl, (ed_cur)
        ld      de, (ed_end)
1$:     or      a
        sbc     hl, de
        add     hl, de
        jr      nc, ed_store
        ld      (hl), #' '
        inc     hl
        jr      1$

; Ctrl+A / Ctrl+F: cursor to the start / after the end of the text.
ed_home:
        ld      hl, (ed_start)
        jr      ed_goto
ed_endkey:
        ld      hl, (ed_text)
ed_goto:
        ld      (ed_cur), hl
        jp      ed_setcur

; The arrows and Ctrl+S, D, E, X: one cell left or right, one row up or down, anywhere on
; the screen but not off it.
ed_left:
        ld      hl, #-1
        jr      ed_move
ed_right:
        ld      hl, #1
        jr      ed_move
ed_up:
        ld      hl, #-CON_COLS
        jr      ed_move
ed_down:
        ld      hl, #CON_COLS
ed_move:
        push    hl
        ld      a, (scr_row)
        call    mul40
        ld      a, (scr_col)
        call    scr_addhl
        pop     de
        add     hl, de
        ld      de, #CON_ROWS*CON_COLS
        or      a
        sbc     hl, de
        ret     nc              ; off the screen
        add     hl, de
        call    div40
        ld      h, a
        ld      (scr_col), hl
        ret

; Ctrl+L: a clear screen, the input starting afresh at the top.
ed_cls:
        call    con_cls
        xor     a
        ld      (ed_incol), a
        ld      hl, #scr_links
        set     1, (hl)
        ret

; Ctrl+V: insert mode on or off.
ed_toggle:
        ld      hl, #ed_ins
        ld      a, (hl)
        cpl
        ld      (hl), a
        ret

; ed_sync: the logical line under the cursor into con_buf and ed_s, ed_n, ed_inp, ed_start,
; ed_cur (kept at or after the start), ed_text and ed_end; the screen cursor normalised.
ed_sync:
        ld      a, (scr_row)
        ld      c, a
        call    scr_linestart
        ld      a, c
        ld      (ed_s), a
        ld      hl, #con_buf
        ld      (ed_start), hl
        ex      de, hl          ; DE = the row's place in con_buf
        xor     a
        ld      (ed_inp), a
        ld      b, a            ; rows
1$:     ld      a, c
        call    scr_link
        bit     1, (hl)
        jr      z, 2$
        ld      a, (ed_incol)   ; the input line: the text begins at the input start
        ld      h, d
        ld      l, e
        call    scr_addhl
        ld      (ed_start), hl
        ld      a, #1
        ld      (ed_inp), a
2$:     inc     b
        ld      hl, #CON_COLS
        add     hl, de
        ex      de, hl
        inc     c
        ld      a, c
        cp      #CON_ROWS
        jr      nc, 3$
        ld      a, b
        cp      #CON_LINE_ROWS
        jr      nc, 3$
        ld      a, c
        call    scr_link
        bit     0, (hl)
        jr      nz, 1$
3$:     ld      (ed_end), de
        ld      a, b
        ld      (ed_n), a
        call    ed_load
        ld      hl, (ed_end)    ; the text ends after its last non-blank
        ld      de, (ed_start)
4$:     or      a
        sbc     hl, de
        add     hl, de
        jr      z, 5$
        dec     hl
        ld      a, (hl)
        cp      #' '
        jr      z, 4$
        inc     hl
5$:     ld      (ed_text), hl
        ld      a, (ed_s)
        ld      b, a
        ld      a, (scr_row)
        sub     b
        call    mul40
        ld      a, (scr_col)
        call    scr_addhl
        ld      de, #con_buf
        add     hl, de
        ld      de, (ed_start)
        or      a
        sbc     hl, de
        add     hl, de
        jr      nc, 6$
        ex      de, hl          ; not into the prompt
6$:     ld      (ed_cur), hl
        jp      ed_setcur

; ed_unmark: no row holds the input start.
ed_unmark:
        ld      hl, #scr_links
        ld      b, #CON_ROWS
1$:     res     1, (hl)
        inc     hl
        djnz    1$
        ret

; mul40: HL = A * 40 (A below 52). Keeps BC, DE.
mul40:
        ld      l, a
        add     a, a
        add     a, a
        add     a, l
        ld      l, a
        ld      h, #0
        add     hl, hl
        add     hl, hl
        add     hl, hl
        ret

; div40: A = HL div 40, L = HL mod 40 (HL below 10240). Destroys DE.
div40:
        ld      de, #CON_COLS
        ld      a, #-1
        or      a
1$:     inc     a
        sbc     hl, de
        jr      nc, 1$
        add     hl, de
        ret

ed_keys:
        .db     0x0D
        .dw     ed_enter
        .db     0x08            ; Backspace and the left arrow
        .dw     ed_bs
        .db     0x09            ; the right arrow
        .dw     ed_right
        .db     0x13            ; Ctrl+S
        .dw     ed_left
        .db     0x04            ; Ctrl+D
        .dw     ed_right
        .db     0x05            ; Ctrl+E
        .dw     ed_up
        .db     0x18            ; Ctrl+X
        .dw     ed_down
        .db     0x01            ; Ctrl+A
        .dw     ed_home
        .db     0x06            ; Ctrl+F
        .dw     ed_endkey
        .db     0x07            ; Ctrl+G
        .dw     ed_del
        .db     0x14            ; Ctrl+T
        .dw     ed_kill
        .db     0x19            ; Ctrl+Y
        .dw     ed_clear
        .db     0x16            ; Ctrl+V
        .dw     ed_toggle
        .db     0x0C            ; Ctrl+L
        .dw     ed_cls
ED_NKEYS = (. - ed_keys) / 3

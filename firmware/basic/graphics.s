; Block graphics on the 80 by 72 mosaic grid: PLOT, UNPLOT, POINT.
;
; Cell (column, row) holds the points x = 2 * column + 0..1, y = 3 * row + 0..2. In the
; graphics set a code with bit 5 set (0x20-0x3F, 0x60-0x7F) is a mosaic: bits 0 and 1 light
; the top left and right points, bits 2 and 3 the middle ones, bits 4 and 6 the bottom ones.
; Whether a cell is drawn from the graphics set follows the display's rule: the last
; set-switch code to its left in the row decides. A point whose cell is not in the graphics
; set makes PLOT and UNPLOT turn the row into a graphics row first: CHR$(17) in column 0,
; blanks after it. Column 0 therefore never shows points. A cell in the graphics set that
; holds no mosaic (a letter, a switch code, a blinking byte) shows no points: POINT gives 0
; and PLOT or UNPLOT put a mosaic there.
        .module graphics
        .include "basic.inc"

GR_SWITCH       = 0x11                  ; the graphics set from the next cell on

        .area   _DATA
gr_op:          .ds     1               ; 0 PLOT, 0xFF UNPLOT

        .area   _RCODE1

; PLOT x, y / UNPLOT x, y
st_plot::
        xor     a
        .db     0x01                    ; ld bc, nn: skips the next load
st_unplot::
        ld      a, #0xFF
        ld      (gr_op), a
        call    gr_at
        bit     4, c
        jr      nz, 2$
        ld      c, #GR_SWITCH           ; not shown as graphics: the row becomes a graphics row
        ld      (hl), c
        push    hl
        ld      b, #CON_COLS - 1
1$:     inc     hl
        ld      (hl), #' '
        djnz    1$
        pop     hl
2$:     call    gr_cell
        jr      c, 3$
        or      e                       ; PLOT: the bit set; UNPLOT: then cleared again
        ld      b, a
        ld      a, (gr_op)
        and     e
        xor     b
        ld      (hl), a
3$:     pop     hl
        ret

; POINT(x, y): -1 when the point shows, else 0.
fn_point::
        rst     0x08
        .db     '(
        call    gr_at
        ex      (sp), hl
        rst     0x08
        .db     ')
        ex      (sp), hl
        call    gr_cell
        ld      hl, #0
        jr      c, 1$
        and     e
        jr      z, 1$
        dec     hl
1$:     call    ret_int
        pop     hl
        rst     0x20
        ret

; Reads "x, y" at HL ("Illegal function call" outside 0-79, 0-71) and returns with the text
; after them pushed under the return. HL = the row's first cell, D = the point's column,
; E = its bit in a mosaic, C = the last switch code before column D (column 1 for column 0):
; bit 4 set when the column shows the graphics set.
gr_at:
        call    eval_byte
        cp      #80
        jr      nc, 1$
        push    af
        rst     0x08
        .db     ',
        call    eval_byte
        cp      #72
1$:     jp      nc, err_illegal
        pop     de                      ; D = x
        pop     bc
        push    hl
        push    bc
        ld      c, #-1
2$:     inc     c                       ; C = y div 3
        sub     #3
        jr      nc, 2$
        add     a, #3
        add     a, a
        srl     d                       ; D = the column, carry the right half
        adc     a, #1
        ld      b, a                    ; 1 + the bit's number: 2 * (y mod 3) + (x mod 2)
        ld      a, #0x80
3$:     rlca
        djnz    3$
        cp      #0x20                   ; bit 5 marks a mosaic; the last point is bit 6
        jr      nz, 4$
        add     a, a
4$:     ld      e, a
        ld      a, c
        call    scr_rowaddr             ; keeps BC, DE
        push    hl
        ld      c, b                    ; B = 0: the text set
        ld      b, d
        inc     b
        dec     b
        jr      nz, 5$
        inc     b
5$:     ld      a, (hl)                 ; a switch code: (m & 7) not 0, (m & 0x68) 0
        and     #0x68
        jr      nz, 6$
        or      (hl)
        and     #7
        jr      z, 6$
        ld      c, (hl)
6$:     inc     hl
        djnz    5$
        pop     hl
        ret

; The point's cell from gr_at's HL, D and C: carry when it shows no points (column 0 or not
; the graphics set); else HL = the cell, A = its mosaic (0x20, none lit, when it holds none).
gr_cell:
        ld      a, d
        or      a
        scf
        ret     z
        bit     4, c
        scf
        ret     z
        add     a, l                    ; rows never cross a 256-byte page
        ld      l, a
        ld      a, (hl)
        and     #0xA0
        cp      #0x20
        ld      a, (hl)
        ret     z
        ld      a, #0x20
        or      a
        ret

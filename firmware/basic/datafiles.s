; Data files: OPEN, CLOSE, PRINT #, INPUT #, LINE INPUT #, GET # and EOF on the file
; store's slots 2 to 4 (#1 to #3), through the channel code of files.s.
        .module datafiles
        .include "basic.inc"

        .area   _CODE

; The file number at HL, '#' optional: A = its slot (2-4), IX = its record; "Bad file
; number" outside 1-3.
file_num:
        rst     0x20
        cp      #'#
        jr      nz, 1$
        rst     0x10
1$:     call    eval_byte
        dec     a
        cp      #3
        jp      nc, err_badfile
        add     a, #2
        jp      slot_rec

; The same for a file open for input (file_in) or output (file_out): "Bad file number"
; when it is not open, "Bad file mode" when it is open the other way.
file_in:
        ld      a, #M_IN
        .db     0x11                    ; ld de, nn: skips the next load
file_out::
        ld      a, #M_OUT
        push    af
        call    file_num
        ld      b, a
        pop     af
        ld      c, a
        ld      a, 0(ix)
        or      a
        jp      z, err_badfile
        cp      c
        jp      nz, err_mode
        ld      a, b
        ret

; OPEN "name" FOR INPUT|OUTPUT|APPEND AS [#]n
st_open::
        ld      de, #0
        call    get_name
        rst     0x08
        .db     TK_FOR
        ld      c, #1
        cp      #TK_INPUT
        jr      z, 1$
        inc     c
        cp      #TK_OUTPUT
        jr      z, 1$
        inc     c
        cp      #TK_APPEND
        jp      nz, err_syntax
1$:     rst     0x10
        rst     0x08
        .db     TK_AS
        push    bc
        call    file_num
        pop     bc
        ld      b, a
        ld      a, 0(ix)
        or      a
        jp      nz, err_open
        push    hl
        dec     c
        jr      nz, 2$
        call    in_open
        pop     hl
        ret
2$:     dec     c
        ld      d, h                    ; OUTPUT: nothing kept
        ld      e, l
        call    nz, ap_read
        push    de
        push    hl
        call    out_open
        pop     hl
        pop     de
3$:     rst     0x28                    ; the old contents from DE to HL written back
        jr      z, 4$
        ld      a, (de)
        inc     de
        call    put_raw
        jr      3$
4$:     call    chan_end
        pop     hl
        ret

; APPEND: the file store cannot add to a file, so the old contents of the file are read
; into free memory (DE to HL), to be written back before what is printed. Blanks and zeros
; at their end are padding and go. "Out of memory" when they do not fit. B = the slot.
ap_read:
        ld      a, #D_OPENR
        call    slot_open
        ld      hl, (strend)
        ld      d, h
        ld      e, l
        ret     nz                      ; no file yet: nothing to keep
        inc     h                       ; from a page boundary
        ld      l, #0
        ld      d, h
        ld      e, l
2$:     ld      a, (fretop + 1)
        dec     a
        cp      h
        jr      nc, 3$
        call    slot_close
        jp      err_memory
3$:     xor     a
31$:    ld      (hl), a
        inc     l
        jr      nz, 31$
        ld      a, #D_READ
        call    dos_call
        inc     h
        or      a
        jr      z, 2$                   ; a whole record: on
4$:     rst     0x28                    ; back over the padding
        jr      z, 5$
        dec     hl
        ld      a, (hl)
        or      a
        jr      z, 4$
        cp      #0x20
        jr      z, 4$
        inc     hl
5$:     jp      slot_close

; CLOSE [[#]n[, [#]m ...]]: the files named, or all of them.
st_close::
        jr      z, files_close
1$:     call    file_num
        push    hl
        call    file_close
        pop     hl
        rst     0x20
        cp      #',
        ret     nz
        rst     0x10
        jr      1$

; Closes slot A (IX its record) if it is open; output is written out first.
file_close:
        ld      b, a
        ld      a, 0(ix)
        dec     a
        jp      z, slot_end             ; input
        ret     m                       ; not open
        ld      a, b
        call    out_sel
        jp      out_close

; END, RUN, NEW, LOAD: every data file is closed. Keeps HL.
files_close::
        push    hl
        ld      a, #4
1$:     push    af
        call    slot_rec
        call    file_close
        pop     af
        dec     a
        cp      #2
        jr      nc, 1$
        pop     hl
        ret

; After an error: the output channel's position is kept, and SAVE's or LOAD's file closed.
files_close_print::
        call    opt_save
        ld      b, #0
        jp      slot_close

; Cold start: every slot is closed.
dev_close_all::
        ld      b, #7
1$:     call    slot_close
        dec     b
        jp      p, 1$
        ret

; INPUT #n, variables   LINE INPUT #n, string variable (from io.s's st_input): the
; fields of the file's lines as INPUT takes them from the keyboard.
file_input::
        call    file_in
        rst     0x08
        .db     ',
1$:     call    fi_line
        ld      a, (inp_line)
        or      a
        jp      nz, inp_whole
2$:     call    any_var
        push    hl
        push    de
        push    af
        call    inp_field
        jp      c, err_type
        pop     af
        pop     de
        call    assign
        pop     hl
        rst     0x20
        cp      #',
        ret     nz
        rst     0x10
        push    hl
        ld      hl, (inp_ptr)           ; the next field, or the next line
        call    skip_blanks
        inc     hl
        ld      (inp_ptr), hl
        pop     hl
        cp      #',
        jr      z, 2$
        jr      1$

; The next line of the input IX for INPUT: at inp_ptr. "Input past end" at the end. Keeps
; HL.
fi_line:
        push    hl
        call    at_end
        jp      z, err_eof
        ld      d, #0
        call    rd_line
        ld      hl, #con_buf
        ld      (inp_ptr), hl
        pop     hl
        ret

; GET #n, v$: the next character of the file.
file_get::
        call    file_in
        rst     0x08
        .db     ',
        push    hl
        call    at_end
        jp      z, err_eof
        call    rd_char
        ld      hl, #con_buf
        ld      (inp_ptr), hl
        ld      (hl), a
        inc     hl
        ld      (hl), #0
        pop     hl
        jp      inp_whole

; EOF(n): -1 when input file n has nothing left but its padding, else 0.
fn_eof::
        rst     0x08
        .db     '(
        call    file_in
        rst     0x08
        .db     ')
        push    hl
        call    at_end
        ld      hl, #0
        jr      nz, 1$
        dec     hl
1$:     call    ret_int
        pop     hl
        rst     0x20
        ret

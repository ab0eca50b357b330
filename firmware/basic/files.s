; Files: SAVE, LOAD, MERGE, RUN "name", the printer (LLIST, LPRINT) and the channel code
; that the data files (datafiles.s) share, through the two device ROMs.
; Slots: 0 SAVE, LOAD and MERGE; 1 the printer; 2-4 the data files #1-#3 (the buffers of
; slots 5 to 7 hold code).
; Every file is host text: CR LF line ends, the national letters as UTF-8 (C3 xx), and the
; last 256-byte record padded with blanks, which every text tool takes for text. A reader
; takes blanks at the very end of a file for padding: LOAD drops them with the blank line
; they make, EOF is true before them and LINE INPUT does not return them.
; Each slot has a record in ftab:
;   +0 mode (0 closed, 1 input, 2 output), +1 the position in its buffer, +2 the buffer's
;   page, +3 input: blanks owed before the buffer's bytes (2, see at_end); output: column
; IX points at the record of the slot at work: the routines here do not keep IX.
        .module files
        .include "basic.inc"


        .area   _DATA
ftab:           .ds     5 * 5           ; the records of slots 0-4
fname:          .ds     11              ; the 8+3 name for the file store
optr:           .ds     2               ; the next byte of the output buffer; page 0: none
ld_mode:        .ds     1               ; LOAD: bit 0 a new program, bit 1 run it
ld_pos:         .ds     2               ; LOAD: the text line's position in the file
ld_num:         .ds     2               ; LOAD: its number; 0 before it is known
ld_sp:          .ds     2               ; LOAD: the stack for the next line

        .area   _CODE

; Calls entry A (its low byte) of the file-store ROM, or with pr_call of the printer ROM,
; with B, DE and HL as the entry takes them: "No device" when the ROM is not there (its
; entry does not start with a jump). Keeps BC, DE and IX, and HL but where the entry
; returns it (the opens: the slot's buffer).
pr_call:
        push    hl
        ld      h, #>PR_ROM
        jr      dev_call
dos_call::
        push    hl
        ld      h, #>DOS_ROM
dev_call:
        ld      l, a
        ld      a, (hl)
        cp      #0xC3
        jp      nz, err_nodev
        ex      (sp), hl
        ret

; Closes slot B through whichever device ROM is there (both channels share the slots);
; nothing when neither is. Keeps B.
slot_close::
        ld      a, (DOS_ROM)
        cp      #0xC3
        ld      a, #D_CLOSE
        jr      z, dos_call
        ld      a, (PR_ROM)
        cp      #0xC3
        ld      a, #D_CLOSE
        ret     nz
        jr      pr_call

; Closes slot B and marks it closed.
slot_end::
        call    slot_close
        ld      a, b
        call    slot_rec
        ld      0(ix), #0
        ret

; Opens fname on slot B for reading (A = D_OPENR) or writing (D_OPENW), closing what the
; slot held first. NZ when the file store refused.
slot_open::
        push    af
        call    slot_close
        pop     af
        ld      de, #fname
        call    dos_call
        or      a
        ret

; Opens fname on slot B for reading, "File not found" when it is not there, and reads
; its first record. IX = its record.
in_open::
        ld      a, #D_OPENR
        call    slot_open
        jp      nz, err_notfound
        ld      a, b
        ld      c, #M_IN
        call    rec_init
        jp      rd_fill

; Makes fname on slot B for writing, "File error" when the file store refuses, and makes
; it the output channel. IX = its record.
out_open::
        ld      a, #D_OPENW
        call    slot_open
        jp      nz, err_io
rec_out:
        ld      a, b
        ld      c, #M_OUT
        call    rec_init
        jp      out_sel

; IX = the record of slot A. Keeps A, BC, DE, HL.
slot_rec::
        push    de
        push    af
        ld      e, a
        add     a, a
        add     a, a
        add     a, e
        ld      e, a
        ld      d, #0
        ld      ix, #ftab
        add     ix, de
        pop     af
        pop     de
        ret

; Slot A opened in mode C: its record (IX) at the start of its buffer, nothing owed.
rec_init:
        call    slot_rec
        push    af
        ld      0(ix), c
        add     a, #PAGE0
        ld      2(ix), a
        xor     a
        ld      1(ix), a
        ld      3(ix), a
        ld      4(ix), a
        pop     af
        ret

; The string expression at HL as a file name in fname: up to 8 letters, digits, _ or -,
; then optionally a point and up to 3 more, letters in capitals. Without a point the name
; gets the extension at DE, unless DE is 0. Anything else is "Bad file name", so a name
; cannot reach outside the file store's folder. HL after the expression.
get_name::
        push    de
        call    eval_str
        push    hl
        call    str_use                 ; HL = the characters, B = their count
        ex      de, hl
        ld      hl, #fname + 10
        ld      c, #11
1$:     ld      (hl), #0x20
        dec     hl
        dec     c
        jr      nz, 1$
        inc     hl
        ld      c, #8
        call    name_part
        jr      z, 2$
        ld      hl, #fname + 8          ; a point: the extension
        ld      c, #3
        call    name_part
        jr      nz, bad_name            ; a second point
        pop     hl
        pop     de
        jr      3$
2$:     pop     hl
        ex      (sp), hl                ; HL = the default extension
        ld      a, h
        or      l
        jr      z, 21$
        ld      de, #fname + 8
        ld      bc, #3
        ldir
21$:    pop     hl
3$:     ld      a, (fname)
        cp      #0x20
        ret     nz
bad_name:
        jp      err_name

; Name characters from DE (B left) to HL, at most C of them, up to a point or the end.
; Z at the end, NZ after a point.
name_part:
        ld      a, b
        or      a
        ret     z
        ld      a, (de)
        inc     de
        dec     b
        cp      #'.
        jr      z, 2$
        call    up_letter
        jr      c, 1$
        cp      #'_
        jr      z, 1$
        cp      #'-
        jr      z, 1$
        cp      #'0
        jr      c, bad_name
        cp      #'9 + 1
        jr      nc, bad_name
1$:     dec     c
        jp      m, err_name
        ld      (hl), a
        inc     hl
        jr      name_part
2$:     or      a
        ret

ext_bas:
        .ascii  "BAS"

; ---- Output: prt_chr through ch_out into the buffer at optr ----

; Slot A becomes the output channel at its position and column.
out_sel::
        call    slot_rec
        ld      l, 1(ix)
        ld      h, 2(ix)
        ld      (optr), hl
        ld      a, 3(ix)
        ld      (dev_col), a
        ld      hl, #ch_out
        ld      (outvec), hl
        ld      a, #1
        ld      (chan), a
        ld      (in_text), a            ; letters as letters (a listing sets its own)
        ret

; The output channel for prt_chr: CR as CR LF, the national letters as UTF-8, except '^'
; and '\' in program text outside strings, REM and DATA (in_text 0), which are operators.
; Keeps BC, DE, HL.
ch_out:
        push    hl
        push    de
        push    bc
        cp      #13
        jr      nz, 1$
        call    put_raw
        ld      a, #10
        call    put_raw
        xor     a
        jr      4$
1$:     ld      hl, #in_text
        inc     (hl)
        dec     (hl)
        jr      nz, 2$
        cp      #0x5E
        jr      z, 3$
        cp      #0x5C
        jr      z, 3$
2$:     ld      hl, #nat
        call    nat_find
        jr      nz, 3$
        ld      a, #0xC3
        call    put_raw
        inc     hl
        ld      a, (hl)
3$:     call    put_raw
        ld      a, (dev_col)
        inc     a
4$:     ld      (dev_col), a
        pop     bc
        pop     de
        pop     hl
        ret

; The machine's national letters and the second bytes of their UTF-8 forms (C3 xx).
nat:    .db     0x40, 0x89, 0x5B, 0x84, 0x5C, 0x96, 0x5D, 0x85, 0x5E, 0x9C
        .db     0x60, 0xA9, 0x7B, 0xA4, 0x7C, 0xB6, 0x7D, 0xA5, 0x7E, 0xBC

; Z and HL at A among the ten bytes every other byte from HL. Keeps A, BC, DE.
nat_find:
        push    bc
        ld      b, #10
1$:     cp      (hl)
        jr      z, 2$
        inc     hl
        inc     hl
        djnz    1$
2$:     pop     bc
        ret

; A into the output buffer; a full buffer goes out. Keeps HL.
put_raw::
        push    hl
        ld      hl, (optr)
        ld      (hl), a
        inc     l
        ld      (optr), hl
        call    z, flush
        pop     hl
        ret

; Writes the full buffer HL (L = 0): a record to the file store, or 256 bytes to the
; printer. A record the file store could not write closes the file: "File error".
flush:
        ld      a, h
        sub     #PAGE0
        ld      b, a
        dec     a
        jr      nz, 1$
        ld      de, #256
        ld      a, #P_PRINT
        jp      pr_call
1$:     ld      a, #D_WRITE
        call    dos_call
        or      a
        ret     z
        call    slot_end                ; B = the slot
        jp      err_io

; The output channel's position and column back into its record.
opt_save::
        ld      hl, (optr)
        ld      a, h
        or      a
        ret     z
        sub     #PAGE0
        call    slot_rec
        ld      1(ix), l
        ld      a, (dev_col)
        ld      3(ix), a
        xor     a
        ld      (optr + 1), a
        ret

; The end of PRINT #, LPRINT, LLIST: the output goes to the screen again. Keeps HL.
chan_end::
        push    hl
        call    opt_save
        call    io_reset
        pop     hl
        ret

; Ends the output channel's file: the last record padded with blanks and written, the
; slot closed, the output to the screen again.
out_close::
        ld      hl, (optr)
        ld      a, l
        or      a
        jr      z, 2$
1$:     ld      (hl), #0x20
        inc     l
        jr      nz, 1$
        call    flush
2$:     ld      a, h
        sub     #PAGE0
        ld      b, a
        call    slot_end
        jp      chan_end

; PRINT #n, ...: the output goes to data file n. Leaves HL and A as CHRGOT does.
chan_select::
        rst     0x20
        cp      #'#
        jr      nz, 1$
        call    file_out
        push    hl
        call    out_sel
        pop     hl
        rst     0x20
        cp      #',
        jr      nz, 1$
        inc     hl
1$:     rst     0x20
        ret

; LPRINT, LLIST: the output goes to the printer; its job opens at the first use in a
; command, and pr_end closes it when the command ends.
pr_sel:
        ld      b, #1
        ld      a, (ftab + 5)
        or      a
        ld      a, b
        jp      nz, out_sel
        xor     a                       ; the printer's open
        call    pr_call
        jp      rec_out

; At the prompt (the end of a command): the print job's last bytes go out and it closes.
pr_end::
        ld      a, (ftab + 5)
        or      a
        ret     z
        ld      hl, (ftab + 5 + 1)      ; the position, and the buffer's page
        ld      e, l
        ld      d, #0
        ld      l, d
        ld      b, #1
        ld      a, #P_PRINT
        call    pr_call
        jp      slot_end

; LLIST [from][-[to]]
st_llist::
        push    hl
        call    pr_sel
        pop     hl
        call    line_range
        call    list_lines
        jp      chan_end

; LPRINT items, as PRINT takes them
st_lprint::
        push    hl
        call    pr_sel
        pop     hl
        rst     0x20
        call    pr_items
        jp      chan_end

; SAVE "name": the program as LIST shows it.
st_save::
        ld      de, #ext_bas
        call    get_name
        push    hl
        ld      b, #0
        call    out_open
        ld      de, #0
        ld      bc, #0xFFFF
        call    list_lines
        call    out_close
        pop     hl
        ret

; ---- Input: the reader of the input IX ----

; Reads the next record of the input IX into its buffer, zeroed first so that the end of
; a short last record (or of the file) is a 0. Keeps everything.
rd_fill:
        push    af
        push    bc
        push    hl
        ld      h, 2(ix)
        ld      l, #0
        ld      1(ix), l
        ld      a, h
        sub     #PAGE0
        ld      b, a
        xor     a
1$:     ld      (hl), a
        inc     l
        jr      nz, 1$
        ld      a, #D_READ
        call    dos_call
        pop     hl
        pop     bc
        pop     af
        ret

; A = the next byte of the input IX without taking it; 0 at the end of the file. NZ when
; it is an owed blank. Keeps BC, DE, HL.
rd_peek:
        ld      a, 3(ix)
        or      4(ix)
        ld      a, #0x20
        ret     nz
        push    hl
        ld      l, 1(ix)
        ld      h, 2(ix)
        ld      a, (hl)
        pop     hl
        ret

; The same, taken (the end stays). Keeps BC, DE, HL.
rd_get:
        call    rd_peek
        jr      nz, 1$
        or      a
        ret     z
        inc     1(ix)
        call    z, rd_fill
        ret
1$:     ld      a, 3(ix)                ; a blank owed
        sub     #1
        ld      3(ix), a
        jr      nc, 2$
        dec     4(ix)
2$:     ld      a, #0x20
        ret

; A = the next character of the input IX, a UTF-8 national letter as the machine's code.
; Keeps BC, DE, HL.
rd_char::
        call    rd_get
        cp      #0xC3
        ret     nz
        call    rd_peek
        push    hl
        ld      hl, #nat + 1
        call    nat_find
        jr      nz, 1$
        call    rd_get
        dec     hl
        ld      a, (hl)
        pop     hl
        ret
1$:     pop     hl
        ld      a, #0xC3
        ret

; Z when nothing but blanks is left in the input IX: the padding at the end of a file.
; Blanks up to the end of the buffer are owed (+3) and the next record is read to see.
at_end::
        ld      l, 1(ix)
        ld      h, 2(ix)
1$:     ld      a, (hl)
        or      a
        ret     z
        cp      #0x20
        ret     nz
        inc     l
        jr      nz, 1$
        ld      a, 3(ix)                ; owed += 256 - position
        sub     1(ix)
        ld      3(ix), a
        jr      nc, 2$
        dec     4(ix)
2$:     inc     4(ix)
        call    rd_fill
        jr      at_end

; Reads a line of the input IX into con_buf, zero-terminated, up to CR, LF, CR LF or the
; end of the file: B = its length. Blanks before the end of the file are its padding and
; go. D = 1 (program text): every line loses its trailing blanks, control characters
; become blanks and other characters '?'. At most 255 characters are kept: C = 1 and NZ
; when more were dropped.
rd_line::
        ld      hl, #con_buf
        ld      bc, #0
1$:     call    rd_char
        or      a
        jr      z, 6$
        cp      #10
        jr      z, 5$
        cp      #13
        jr      z, 4$
        ld      e, a
        ld      a, d
        or      a
        ld      a, e
        jr      z, 3$
        cp      #0x20
        jr      nc, 2$
        ld      a, #0x20
2$:     cp      #0x80
        jr      c, 3$
        cp      #0xC0
        jr      c, 1$                   ; a UTF-8 continuation byte
        ld      a, #'?
3$:     inc     b
        jr      z, 31$
        ld      (hl), a
        inc     hl
        jr      1$
31$:    dec     b                       ; past 255: dropped
        ld      c, #1
        jr      1$
4$:     call    rd_peek                 ; CR LF: the LF goes with the CR
        cp      #10
        call    z, rd_get
5$:     ld      a, d
        or      a
        jr      z, 8$
6$:     ld      a, b                    ; trailing blanks go
        or      a
        jr      z, 8$
        dec     hl
        ld      a, (hl)
        cp      #0x20
        jr      nz, 7$
        dec     b
        jr      6$
7$:     inc     hl
8$:     ld      (hl), #0
        ld      a, c
        or      a
        ret

; ---- LOAD, MERGE, RUN "name" ----

; RUN "name" (from st_run, which has closed the files and reset the stack)
run_file::
        ld      c, #3
        jr      load
; MERGE "name": the file's lines join the program.
st_merge::
        ld      c, #0
        .db     0x11                    ; ld de, nn: skips the next load
; LOAD "name"
st_load::
        ld      c, #1
load:   push    bc
        ld      de, #ext_bas
        call    get_name
        ld      b, #0
        call    in_open
        pop     bc
        ld      a, c                    ; from here the direct line (in kbuf) and a running
        ld      (ld_mode), a            ; program are gone: it ends at Ready or runs
        ld      hl, #0
        ld      (curlin), hl
        ld      (ld_pos), hl
        rra
        jr      nc, 1$
        call    files_close
        call    prg_new
        xor     a
        call    slot_rec
1$:     ld      (ld_sp), sp
ld_next:
        ld      hl, #0
        ld      (err_trap), hl
        ld      (ld_num), hl
        ld      hl, (ld_pos)
        inc     hl
        ld      (ld_pos), hl
        call    rd_peek
        or      a
        jr      z, ld_end
        ld      d, #1
        call    rd_line                 ; C = 1: too long
        ld      hl, #con_buf
        call    skip_blanks
        or      a
        jr      z, ld_next              ; a blank line
        ld      de, #ld_bad
        ld      (err_trap), de
        call    get_uint                ; (no number: "Syntax error")
        ld      (ld_num), de
        ld      a, c
        or      a
        jr      nz, ld_long
        call    skip_blanks
        push    de
        call    crunch
        ld      hl, #0
        ld      (err_trap), hl
        pop     de
        call    prg_enter
        jr      ld_next
ld_long:
        ld      e, #ERR_LBO
        jr      ld_report

; A line that LOAD cannot take: error E, reported with the line's number or, when it has
; none, its position in the file.
ld_bad: ld      sp, (ld_sp)
ld_report:                              ; (ld_next ends the trap)
        ld      a, e
        call    err_text
        ld      hl, #msg_in
        call    prt_str
        ld      hl, (ld_num)
        ld      a, h
        or      l
        jr      nz, 1$
        ld      hl, #msg_fline
        call    prt_str
        ld      hl, (ld_pos)
1$:     call    prt_uint
        ld      a, #13
        call    prt_chr
        jp      ld_next

ld_end: ld      b, #0
        call    slot_close
        ld      a, (ld_mode)
        and     #2
        jp      z, ready
        xor     a                       ; RUN "name": as RUN
        jp      st_run

msg_fline:
        .ascii  "file line "
        .db     0

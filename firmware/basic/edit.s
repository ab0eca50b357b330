; Editing the program: RENUM, AUTO, DELETE, EDIT.
;
; RENUM works on the line-number tokens (T_LINE, after GOTO, GOSUB, THEN, ELSE, RUN,
; RESTORE, RESUME and in ON lists): it first checks the new numbers, then points each token
; at its line, renumbers the lines, writes each token's number back from its line, and drops
; the typed text kept in front of the tokens whose number changed (it no longer matches). A
; token whose line does not exist keeps its number and is reported; line 0 means "none" to
; ON ERROR GOTO and RESUME, so it is left alone.
;
; AUTO prompts with the next number before each input line (main_loop calls auto_prompt);
; what is typed after it is that line (auto_input), and the number moves on when the line is
; stored (auto_next).
        .module edit
        .include "basic.inc"

        .area   _DATA
ren_new:        .ds     2               ; RENUM: the first new number
ren_old:        .ds     2               ;   the first line renumbered
ren_step:       .ds     2
ren_wr:         .ds     1               ;   0 while only checking
ren_fn:         .ds     2               ;   the routine ren_refs calls
auto_num:       .ds     2               ; AUTO: the next number
auto_step:      .ds     2
auto_flag:      .ds     1               ;   non-zero while on

        .area   _RCODE2

; [n] for a line number: DE = n, or BC when there is none (at a comma or the end of the
; statement); "Illegal function call" above 65529. opt_next: the same after a comma, or BC
; at the end of the statement.
opt_next:
        rst     0x20
        ld      d, b
        ld      e, c
        ret     z
        rst     0x08
        .db     ',
opt_num:
        ld      d, b
        ld      e, c
        rst     0x20
        ret     z
        cp      #',
        ret     z
        call    eval_addr
chk_line:
        push    hl
        ld      hl, #65529
        rst     0x28
        pop     hl
        jp      c, err_illegal
        ret

; The end of the line, or "Syntax error": RENUM, DELETE, EDIT and AUTO go back to the
; prompt, so nothing may follow them.
cmd_end:
        rst     0x20
        or      a
        ret     z
        jp      err_syntax

; RENUM [new[,old[,step]]]: the lines from old on (all by default) become new, new+step, ...
; (10, 10 by default).
st_renum::
        ld      bc, #10
        call    opt_num
        ld      (ren_new), de
        ld      bc, #0
        call    opt_next
        ld      (ren_old), de
        ld      bc, #10
        call    opt_next
        ld      a, d
        or      e
        jp      z, err_illegal
        ld      (ren_step), de
        call    cmd_end
        xor     a
        call    ren_lines               ; errors before anything changes
        ld      de, #ren_find
        call    ren_refs
        ld      a, #1
        call    ren_lines
        ld      de, #ren_back
        call    ren_refs
        call    ren_pack
        jp      cmd_changed

; Gives the lines from ren_old on the numbers ren_new, +ren_step, ...; with A = 0 it only
; checks that they stay above the lines before them and within 65529.
ren_lines:
        ld      (ren_wr), a
        ld      hl, #TEXT_START
        ld      de, (ren_new)           ; the next new number
        ld      bc, #0                  ; the least a renumbered line may take
1$:     ld      a, (hl)
        inc     hl
        or      (hl)
        ret     z
        inc     hl
        push    hl
        ld      a, (hl)
        inc     hl
        ld      h, (hl)
        ld      l, a                    ; HL = the line's number
        push    de
        ld      de, (ren_old)
        rst     0x28
        pop     de
        jr      nc, 2$
        inc     hl                      ; below old: it stays, the rest must lie above it
        ld      b, h
        ld      c, l
        jr      4$
2$:     ld      h, b                    ; new number DE: at least BC, at most 65529
        ld      l, c
        rst     0x28
        jr      z, 3$
        jp      nc, err_illegal
3$:     call    chk_line
        pop     hl
        push    hl
        ld      a, (ren_wr)
        or      a
        jr      z, 31$
        ld      (hl), e
        inc     hl
        ld      (hl), d
31$:    ld      b, d
        ld      c, e
        inc     bc
        ld      hl, (ren_step)
        add     hl, de
        ex      de, hl
        jr      nc, 4$
        ld      de, #0xFFFF             ; past 65535: a further line is an error
4$:     pop     hl
        dec     hl
        dec     hl
        ld      a, (hl)
        inc     hl
        ld      h, (hl)
        ld      l, a
        jr      1$

; Drops the typed text kept in front of the line-number tokens whose number changed (their
; line address is left non-zero by ren_back), packing the program down.
ren_pack:
        ld      hl, #TEXT_START         ; HL reads, DE writes
        ld      d, h
        ld      e, l
1$:     ld      a, (hl)
        inc     hl
        or      (hl)
        dec     hl
        jr      z, 5$
        push    de                      ; the line's new place, linked at its end
        ld      bc, #4
        ldir                            ; link and number
2$:     ld      a, (hl)
        or      a
        jr      z, 4$
        cp      #T_TXT
        jr      nz, 3$
        ld      b, h
        ld      c, l
        inc     hl
        ld      a, (hl)
        inc     a
        call    scr_addhl               ; HL = the number token
        ld      a, (hl)
        cp      #T_LINE
        jr      nz, 22$
        push    hl
        inc     hl
        inc     hl
        inc     hl
        ld      a, (hl)
        inc     hl
        or      (hl)
        pop     hl
        jr      nz, 2$                  ; the text goes
22$:    ld      h, b
        ld      l, c
3$:     push    hl
        call    skip_token              ; keeps BC, DE
        pop     bc
        or      a
        sbc     hl, bc
        push    hl
        ld      h, b
        ld      l, c
        pop     bc
        ldir                            ; the token as it is
        jr      2$
4$:     ldi                             ; the line's end
        pop     bc
        ld      a, e
        ld      (bc), a
        inc     bc
        ld      a, d
        ld      (bc), a
        jr      1$
5$:     ex      de, hl                  ; the end link (A = 0)
        ld      (txtend), hl
        ld      (hl), a
        inc     hl
        ld      (hl), a
        ret

; Calls the routine DE with HL at each line-number token of the program and curlin at its
; line; the routine keeps HL.
ren_refs:
        ld      (ren_fn), de
        ld      hl, #TEXT_START
1$:     ld      a, (hl)
        inc     hl
        or      (hl)
        dec     hl
        ret     z
        ld      (curlin), hl
        ld      de, #4
        add     hl, de
2$:     ld      a, (hl)
        or      a
        jr      z, 3$
        call    skip_txt                ; over a number's typed text, to its token
        cp      #T_LINE
        call    z, 4$
        call    skip_token
        jr      2$
3$:     ld      hl, (curlin)
        ld      a, (hl)
        inc     hl
        ld      h, (hl)
        ld      l, a
        jr      1$
4$:     ld      de, (ren_fn)
        push    de
        ret

; ren_refs routine: the token at HL points at its line (0 when there is none).
ren_find:
        push    hl
        inc     hl
        ld      e, (hl)
        inc     hl
        ld      d, (hl)
        call    prg_find
        jr      z, 1$
        ld      hl, #0
1$:     ex      de, hl
        pop     hl
        push    hl
        inc     hl
        inc     hl
        inc     hl
        ld      (hl), e
        inc     hl
        ld      (hl), d
        pop     hl
        ret

; ren_refs routine: the token at HL takes its line's new number, its line address left
; non-zero when the number changed, else 0. With no line the number stays and "Undefined
; line n in m" is shown.
ren_back:
        push    hl
        inc     hl
        ld      e, (hl)
        inc     hl
        ld      d, (hl)                 ; DE = the number
        inc     hl
        push    hl
        ld      a, (hl)
        inc     hl
        ld      h, (hl)
        ld      l, a                    ; HL = its line
        ld      a, d
        or      e
        jr      z, 1$                   ; line 0: "none"
        ld      a, h
        or      l
        jr      z, 2$
        inc     hl
        inc     hl
        ld      a, (hl)
        inc     hl
        ld      h, (hl)
        ld      l, a
        sbc     hl, de                  ; (NC from the or)
        jr      z, 1$
        add     hl, de
        ex      de, hl
        pop     hl
        dec     hl
        ld      (hl), d
        dec     hl
        ld      (hl), e
        pop     hl
        ret
2$:     push    de
        ld      hl, #msg_undef
        call    prt_str
        pop     hl
        call    prt_uint
        call    prt_in_line
1$:     xor     a
        pop     hl
        ld      (hl), a
        inc     hl
        ld      (hl), a
        pop     hl
        ret

msg_undef:
        .ascii  "Undefined line "
        .db     0

; DELETE from-to, from, -to or from-: the lines in the range go; "Illegal function call"
; when there are none.
st_delete::
        jp      z, err_syntax
        call    line_range              ; DE = from, BC = to
        call    cmd_end
        push    bc
        call    prg_find
        pop     bc
        push    hl
1$:     ld      a, (hl)                 ; HL to the first line past "to"
        inc     hl
        or      (hl)
        dec     hl
        jr      z, 2$
        push    hl
        inc     hl
        inc     hl
        ld      e, (hl)
        inc     hl
        ld      d, (hl)
        ld      h, b
        ld      l, c
        rst     0x28                    ; C: its number is above "to"
        pop     hl
        jr      c, 2$
        ld      a, (hl)
        inc     hl
        ld      h, (hl)
        ld      l, a
        jr      1$
2$:     pop     de
        or      a
        sbc     hl, de
        jp      z, err_illegal
        ld      b, h
        ld      c, l
        ex      de, hl
        call    mem_close
; The program has changed: sealed, variables cleared, and nothing to CONTinue.
cmd_changed:
        call    prg_seal
        call    prg_clear
        call    unresolve               ; the lines moved: no line address holds
        jp      ready

; EDIT line: the line is listed and the cursor put at its start, so that Enter stores it as
; changed on the screen.
st_edit::
        call    eval_addr
        call    cmd_end
        call    prg_find
        jp      nz, err_undefline
        push    hl
        call    con_col
        or      a
        ld      a, #13
        call    nz, con_putc
        pop     hl
        call    list_line
        call    con_col                 ; what was left on its last row goes
        sub     #CON_COLS
        jr      z, 2$
        neg
        ld      b, a
        call    scr_curaddr
1$:     ld      (hl), #' '
        inc     hl
        djnz    1$
2$:     ld      a, #13
        call    con_putc
        call    con_row
        dec     a
        ld      c, a
        call    scr_linestart           ; C = the line's first row
        ld      h, c
        ld      l, #0
        ld      (scr_col), hl
        jp      main_loop

; AUTO [start][,step]: numbers for the lines typed, from start (10) by step (10).
st_auto::
        ld      bc, #10
        call    opt_num
        push    de
        ld      bc, #10
        call    opt_next
        call    cmd_end
        ld      a, d
        or      e
        jp      z, err_illegal
        ld      (auto_step), de
        ld      (auto_flag), a
        pop     de
        ld      (auto_num), de
        jp      main_loop

; Before an input line: with AUTO on, its number and a blank, or a * when the line exists,
; on a row of its own (what was on the screen there moves down).
auto_prompt::
        ld      a, (auto_flag)
        or      a
        ret     z
        call    con_row
        call    scr_insrow
        ld      hl, (auto_num)
        push    hl
        call    prt_uint
        pop     de
        call    prg_find
        ld      a, #' '
        jr      nz, 1$
        ld      a, #'*
1$:     jp      prt_chr

; After an input line, with con_getline's carry and A: Ctrl+C ends AUTO; text typed after
; AUTO's number is entered as that line, and an empty one ends AUTO. Returns C for the next
; line, NC for main_loop to take the text at HL.
auto_input::
        jr      c, 3$
        dec     a
        ret     nz                      ; from another line on the screen: as it stands
        ld      a, (auto_flag)
        or      a
        ret     z
        call    skip_blanks
        or      a
        jr      z, 4$
        pop     de
        ld      de, (auto_num)
        jp      ml_line
3$:     ld      a, (auto_flag)
        or      a
        scf
        ret     z
4$:     call    auto_off
        jp      ready

; After line DE was stored: AUTO goes on past it if it was AUTO's line.
auto_next::
        ld      hl, (auto_num)
        rst     0x28
        ret     nz
        ld      hl, (auto_step)
        add     hl, de
        ld      (auto_num), hl
        jr      c, auto_off
        ld      de, #65530
        rst     0x28
        ret     c
auto_off::
        xor     a
        ld      (auto_flag), a
        ret

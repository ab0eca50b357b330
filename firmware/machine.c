/* The machine layer of the BASIC ROM: screen, line editor, keyboard queue, ports and the
   calls into the two device ROMs. The interpreter core reaches the machine only through the
   sys_ functions declared in sys.h. */
#include <string.h>
#include "sys.h"

#define COLS 40
#define ROWS 24

/* Shared with the interrupt handlers in crt0.s. */
extern volatile unsigned char kbuf[16];
extern volatile unsigned char khead, ktail, krep, kcount, kbrk;
extern volatile unsigned int ticks;

static unsigned char crow, ccol;

static unsigned char *row_addr(unsigned char r)
{
    return (unsigned char *)(0x7C00 + ((unsigned)(r & 7) << 7) + (unsigned)(r >> 3) * 40);
}

void sys_cls(void)
{
    unsigned char r;
    for (r = 0; r < ROWS; r++)
        memset(row_addr(r), ' ', COLS);
    crow = ccol = 0;
}

static void scroll(void)
{
    unsigned char r;
    for (r = 0; r < ROWS - 1; r++)
        memcpy(row_addr(r), row_addr(r + 1), COLS);
    memset(row_addr(ROWS - 1), ' ', COLS);
}

static void newline(void)
{
    ccol = 0;
    if (crow == ROWS - 1)
        scroll();
    else
        crow++;
}

/* A character in the last column leaves ccol at COLS, a pending wrap: the line moves down
   only when more text follows, so a full 40-character line ended by CR takes one row. */
void sys_putc(unsigned char c)
{
    if (c == '\r') {
        newline();
    } else if (c == '\n') {
        /* CR already moved down */
    } else if (c == 8) {
        if (ccol) {
            ccol--;
        } else if (crow) {
            crow--;
            ccol = COLS - 1;
        }
        row_addr(crow)[ccol] = ' ';
    } else if (c == 12) {
        sys_cls();
    } else {
        if (ccol == COLS)
            newline();
        row_addr(crow)[ccol++] = c;
    }
}

unsigned char sys_key(void)
{
    unsigned char k;
    for (;;) {
        if (ktail != khead) {
            k = kbuf[ktail];
            ktail = (ktail + 1) & 15;
            return k;
        }
        if (krep) {
            k = krep;
            krep = 0;
            return k;
        }
        __asm__("halt");
    }
}

static void cursor(unsigned char on)
{
    unsigned char *p;
    if (ccol == COLS)
        return;  /* pending wrap: the cursor shows again with the next character */
    p = row_addr(crow) + ccol;
    *p = on ? (*p | 0x80) : (*p & 0x7F);
}

unsigned char sys_getline(char *buf, unsigned char max)
{
    /* hi: how far the line has been typed; erased characters stay in buf, so the right
       arrow types them again, and past them it moves on over a space. */
    unsigned char n = 0, hi = 0, k;
    kbrk = 0;
    for (;;) {
        cursor(1);
        k = sys_key();
        cursor(0);
        if (k == '\r') {
            break;
        } else if (k == 3) {
            n = 0xFF;
            break;
        } else if (k == 8) {
            if (n) {
                n--;
                sys_putc(8);
            }
            continue;
        } else if (k == 9) {
            k = n < hi ? (unsigned char)buf[n] : ' ';
        } else if (k < ' ') {
            continue;
        }
        if (n < max) {
            buf[n++] = k;
            if (n > hi)
                hi = n;
            sys_putc(k);
        }
    }
    kbrk = 0;
    krep = 0;
    buf[n == 0xFF ? 0 : n] = 0;
    sys_putc('\r');
    return n;
}

unsigned char sys_break(void)
{
    if (!kbrk)
        return 0;
    kbrk = 0;
    /* Drop the Ctrl+C from the queue too. */
    ktail = khead;
    krep = 0;
    return 1;
}

unsigned int sys_ticks(void) { return ticks; }
unsigned char sys_peek(unsigned int a) { return *(volatile unsigned char *)a; }
void sys_poke(unsigned int a, unsigned char v) { *(volatile unsigned char *)a = v; }

unsigned char sys_inp(unsigned char port) __naked
{
    (void)port;
    __asm__("ld c, a\n"
            "in a, (c)\n"
            "ret");
}

void sys_out(unsigned char port, unsigned char v) __naked
{
    (void)port; (void)v;
    __asm__("ld c, a\n"
            "out (c), l\n"
            "ret");
}

/* Device ROM calls go through one trampoline that loads B, C, DE and HL from these. */
static unsigned char dev_b, dev_c;
static const void *dev_de;
static unsigned char *dev_hl;
static unsigned int dev_entry;
static unsigned char *dos_buf;

#define DOS_ROM 0x6000
#define PR_ROM 0x7800
#define FILE_SLOT 0
#define PRINT_SLOT 1

static unsigned char dev_jump(void) __naked
{
    __asm__("push ix\n"
            "ld a, (_dev_b)\n"
            "ld b, a\n"
            "ld a, (_dev_c)\n"
            "ld c, a\n"
            "ld de, (_dev_de)\n"
            "ld hl, #00001$\n"
            "push hl\n"
            "ld hl, (_dev_entry)\n"
            "push hl\n"
            "ld hl, (_dev_hl)\n"
            "ret\n"
            "00001$:\n"
            "ld (_dev_hl), hl\n"
            "pop ix\n"
            "ret");
}

static unsigned char dev_call(unsigned int entry, unsigned char slot)
{
    /* An absent ROM reads as 0xFF: only a jump table may be called. */
    if (*(const unsigned char *)(entry & 0xFF00) != 0xC3)
        return SYS_NODEV;
    dev_entry = entry;
    dev_b = slot;
    return dev_jump();
}

unsigned char sys_dos_open(unsigned char write, const unsigned char *name11)
{
    unsigned char st;
    dev_de = name11;
    st = dev_call(write ? DOS_ROM + 3 : DOS_ROM, FILE_SLOT);
    /* Records move through the buffer the open hands back; one outside the slot buffers
       would have them overwrite our own code or variables. */
    dos_buf = dev_hl;
    if (st != SYS_NODEV && ((unsigned int)dos_buf < 0xF500 || (unsigned int)dos_buf > 0xFC00 ||
                            ((unsigned int)dos_buf & 0xFF))) {
        dos_buf = (unsigned char *)0xF500;
        return 0xFF;
    }
    return st;
}

unsigned char sys_dos_block(unsigned char write)
{
    dev_hl = dos_buf;
    return dev_call(write ? DOS_ROM + 12 : DOS_ROM + 9, FILE_SLOT);
}

void sys_dos_close(void) { dev_call(DOS_ROM + 6, FILE_SLOT); }
unsigned char *sys_dos_buffer(void) { return dos_buf; }
unsigned char sys_pr_open(void) { return dev_call(PR_ROM, PRINT_SLOT); }

unsigned char sys_pr_print(const unsigned char *text, unsigned int n)
{
    dev_hl = (unsigned char *)text;
    dev_de = (const void *)n;
    return dev_call(PR_ROM + 3, PRINT_SLOT);
}

void sys_pr_close(void) { dev_call(PR_ROM + 6, PRINT_SLOT); }

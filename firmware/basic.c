/* The BASIC interpreter: line storage, tokens, expressions, statements, strings.
   Memory layout inside the arena handed to basic_init, low to high:
     temporary string cells | program lines | variables | free | string heap
   A program line is [record length][number low][number high][tokens...][0]; a record
   length of 0 ends the program. Variables are [name1][name2][kind][count low][count high]
   followed by count 2-byte cells. Strings live in the heap as [chars][length][owner cell]
   and the descriptor in a cell is the offset of the length byte; the owner back-link lets
   the collector slide live strings up and fix their single cell. */
#include <setjmp.h>
#include <string.h>
#include "basic.h"
#include "sys.h"

typedef unsigned char u8;
typedef unsigned short u16;
typedef short s16;

#define TMPN 8              /* temporary string cells at the start of the arena */
#define PROG (TMPN * 2)     /* first program record */
#define LINE_MAX 120
#define FOR_MAX 16
#define GOSUB_MAX 32
#define DEPTH_MAX 24

enum {
    T_PRINT = 0x80, T_INPUT, T_LET, T_IF, T_GOTO, T_GOSUB, T_RETURN, T_FOR, T_NEXT,
    T_REM, T_END, T_STOP, T_CONT, T_CLS, T_POKE, T_OUT, T_DATA, T_READ, T_RESTORE,
    T_SOUND, T_RANDOMIZE, T_NEW, T_LIST, T_RUN, T_SAVE, T_LOAD, T_LLIST, T_LPRINT, T_DIM,
    T_THEN, T_TO, T_STEP, T_AND, T_OR, T_NOT, T_MOD, T_TAB,
    T_ABS, T_RND, T_PEEK, T_INP, T_ASC, T_CHRS, T_LEN, T_LEFTS, T_MIDS, T_RIGHTS,
    T_STRS, T_VAL, T_LAST
};

static const char keywords[] =
    "PRINT INPUT LET IF GOTO GOSUB RETURN FOR NEXT REM END STOP CONT CLS POKE OUT DATA "
    "READ RESTORE SOUND RANDOMIZE NEW LIST RUN SAVE LOAD LLIST LPRINT DIM THEN TO STEP "
    "AND OR NOT MOD TAB ABS RND PEEK INP ASC CHR$ LEN LEFT$ MID$ RIGHT$ STR$ VAL ";

enum {
    E_SYNTAX, E_OVERFLOW, E_DIV0, E_LINE, E_MEMORY, E_TYPE, E_SUBSCRIPT, E_RETURN,
    E_NEXT, E_DATA, E_CONT, E_NOFILE, E_BREAK, E_VALUE, E_LONG, E_NAME, E_DEVICE,
    E_COMPLEX, E_REDIM, E_FILE
};

static const char *const messages[] = {
    "Syntax error", "Overflow", "Division by zero", "Undefined line", "Out of memory",
    "Type mismatch", "Bad subscript", "RETURN without GOSUB", "NEXT without FOR",
    "Out of DATA", "Can't continue", "File not found", "Break", "Illegal value",
    "Too long", "Bad file name", "No device", "Too complex", "Already dimensioned",
    "File error"
};

struct ForFrame { u16 cell; s16 limit, step; u8 *line; const u8 *tp; };
struct GosubFrame { u8 *line; const u8 *tp; };

static u8 *M;               /* the arena */
static u16 msize;
static u16 pend;            /* offset of the program's end marker */
static u16 vbeg, vend, hbot;
static u8 tsp;              /* temporary cells in use */
static const u8 *tp;        /* text pointer */
static const u8 *stmt_tp;   /* start of the statement being run */
static u8 *cur;             /* current line record, 0 in immediate mode */
static u8 jumped;
static u8 etype;            /* last expression: 0 number, 1 string (value = cell) */
static u8 depth;
static u8 show_ready;
static jmp_buf top;
static char lbuf[LINE_MAX + 8];
static u8 tbuf[LINE_MAX + 8];
static u8 *cont_line;
static const u8 *cont_tp;
static u8 cont_ok;
static u8 *dline;           /* DATA: line being read, 0 before the first READ */
static const u8 *dptr;
static u16 seed;
static struct ForFrame fors[FOR_MAX];
static u8 fsp;
static struct GosubFrame gosubs[GOSUB_MAX];
static u8 gsp;
static u8 chan;             /* output: 0 screen, 1 printer, 2 file */
static u8 col[3];
static u8 pr_on, pn;
static u8 pbuf[64];
static u8 f_on;
static u8 *fbuf;
static u16 fpos;
static const u8 nothing[1] = {0};
/* Entries of one-letter scalars, found once per run: most programs use little else. */
static u16 vcache[52];

static void error(u8 e);
static s16 expr(void);

/* ---- small helpers ---- */

/* Predicates as expressions: the interpreter's inner loops test characters constantly. */
#define is_digit(c) ((u8)((c) - '0') < 10)
#define is_alpha(c) ((u8)((c) - 'A') < 26)
static u16 rd(u16 a) { return (u16)(M[a] | (M[a + 1] << 8)); }
static void wr(u16 a, u16 v) { M[a] = (u8)v; M[a + 1] = (u8)(v >> 8); }
static u16 lnum(const u8 *rec) { return (u16)(rec[1] | (rec[2] << 8)); }

static u8 skipspaces(void)
{
    while (*tp == ' ')
        tp++;
    return *tp;
}

/* The next character after any spaces; most of the time there are none to skip. */
#define skipsp() (*tp == ' ' ? skipspaces() : *tp)

static void expect(u8 c)
{
    if (skipsp() != c)
        error(E_SYNTAX);
    tp++;
}

/* ---- output ---- */

static void pr_flush(void)
{
    if (pn) {
        sys_pr_print(pbuf, pn);
        pn = 0;
    }
}

static void outc(u8 c)
{
    if (chan == 0) {
        sys_putc(c);
        if (c == '\r' || c == 12)
            col[0] = 0;
        else if (c == 8)
            col[0] = col[0] ? col[0] - 1 : 39;
        else if (c != '\n' && ++col[0] == 40)
            col[0] = 0;
        return;
    }
    if (c == '\r')
        col[chan] = 0;
    else if (c != '\n')
        col[chan]++;
    if (chan == 1) {
        pbuf[pn++] = c;
        if (pn == sizeof pbuf)
            pr_flush();
    } else {
        fbuf[fpos++] = c;
        if (fpos == 256) {
            sys_dos_block(1);
            fpos = 0;
        }
    }
}

static void newline(void)
{
    outc('\r');
    if (chan)
        outc('\n');
}

static void outs(const char *s)
{
    while (*s)
        outc((u8)*s++);
}

static u8 fmtnum(s16 v, char *buf)
{
    char tmp[6];
    u8 n = 0, k = 0;
    u16 u = (u16)v;
    if (v < 0) {
        buf[n++] = '-';
        u = (u16)(0 - u);
    }
    do {
        tmp[k++] = (char)('0' + u % 10);
        u /= 10;
    } while (u);
    while (k)
        buf[n++] = tmp[--k];
    buf[n] = 0;
    return n;
}

static void outnum(s16 v)
{
    char buf[8];
    fmtnum(v, buf);
    outs(buf);
}

/* ---- errors ---- */

static void dos_end(void)
{
    if (f_on) {
        sys_dos_close();
        f_on = 0;
    }
}

static void pr_end(void)
{
    if (pr_on) {
        pr_flush();
        sys_pr_close();
        pr_on = 0;
    }
}

static void error(u8 e)
{
    dos_end();
    chan = 0;
    if (e != E_BREAK)
        cont_ok = 0;
    if (col[0])
        newline();
    outs(messages[e]);
    if (cur) {
        outs(" in ");
        outnum((s16)lnum(cur));
    }
    newline();
    show_ready = 1;
    longjmp(top, 1);
}

/* ---- arithmetic with overflow checks ---- */

static s16 add(s16 a, s16 b)
{
    s16 r = (s16)(u16)((u16)a + (u16)b);
    if ((a < 0) == (b < 0) && (r < 0) != (a < 0))
        error(E_OVERFLOW);
    return r;
}

static s16 neg(s16 a)
{
    if (a == -32767 - 1)
        error(E_OVERFLOW);
    return (s16)-a;
}

static s16 mul(s16 a, s16 b)
{
    u16 ua = (u16)(a < 0 ? 0 - (u16)a : (u16)a);
    u16 ub = (u16)(b < 0 ? 0 - (u16)b : (u16)b);
    u8 negative = (a < 0) != (b < 0);
    u16 limit = negative ? 32768u : 32767u;
    u16 r;
    if (ua && ub > limit / ua)
        error(E_OVERFLOW);
    r = (u16)(ua * ub);
    return negative ? (s16)(u16)(0 - r) : (s16)r;
}

static s16 divide(s16 a, s16 b, u8 mod)
{
    if (b == 0)
        error(E_DIV0);
    if (b == -1)
        return mod ? 0 : neg(a);
    return mod ? (s16)(a % b) : (s16)(a / b);
}

/* ---- strings ---- */

static u8 slen(u16 d) { return d ? M[d] : 0; }
static u8 *schars(u16 d) { return d ? M + d - M[d] : M; }
static u16 tcell(u8 t) { return (u16)(t * 2); }

static void gc(void)
{
    u16 p = msize, w = msize;
    while (p > hbot) {
        u16 owner = rd(p - 2), d = p - 3;
        u16 start = d - M[d], n = p - start;
        if (owner && owner < vend && rd(owner) == d) {
            w -= n;
            memmove(M + w, M + start, n);
            wr(owner, w + (n - 3));
        }
        p = start;
    }
    hbot = w;
}

static void room(u16 need)
{
    if ((u16)(hbot - vend) < need + 16) {
        gc();
        if ((u16)(hbot - vend) < need + 16)
            error(E_MEMORY);
    }
}

/* A new string of len bytes owned by cell; its characters are left for the caller. */
static u16 salloc(u8 len, u16 cell)
{
    u16 d;
    room((u16)(len + 3));
    hbot -= len + 3;
    d = hbot + len;
    M[d] = len;
    wr(d + 1, cell);
    wr(cell, d);
    return d;
}

static u8 tnew(u8 len)
{
    u8 t;
    if (tsp >= TMPN)
        error(E_COMPLEX);
    t = tsp++;
    wr(tcell(t), 0);
    salloc(len, tcell(t));
    return t;
}

/* Moves the newest temporary into cell k and frees all above k. */
static u8 tkeep(u8 k)
{
    u16 d = rd(tcell(tsp - 1));
    while (tsp > k)
        wr(tcell(--tsp), 0);
    wr(tcell(k), d);
    wr(d + 1, tcell(k));
    tsp = k + 1;
    return k;
}

static void tdrop(void) { wr(tcell(--tsp), 0); }

static u8 tfrom(const u8 *src, u8 len)
{
    u8 t = tnew(len);
    memcpy(schars(rd(tcell(t))), src, len);
    return t;
}

/* Copies part of temporary k into a new temporary that replaces it. */
static u8 tsub(u8 k, u8 from, u8 len)
{
    u8 t = tnew(len);
    memcpy(schars(rd(tcell(t))), schars(rd(tcell(k))) + from, len);
    return tkeep(k);
}

/* ---- program lines ---- */

static u8 *findline(u16 n)
{
    u8 *p = M + PROG;
    while (*p && lnum(p) < n)
        p += *p;
    return p;
}

static void clear(void)
{
    vbeg = vend = pend + 1;
    hbot = msize;
    memset(M, 0, PROG);
    tsp = fsp = gsp = 0;
    memset(vcache, 0, sizeof vcache);
    dline = 0;
    dptr = 0;
    cont_ok = 0;
}

static void newprog(void)
{
    pend = PROG;
    M[PROG] = 0;
    clear();
}

static void storeline(u16 n, const u8 *text, u8 len)
{
    u8 *p = findline(n);
    u16 rlen = (u16)(len + 4);
    clear();
    if (*p && lnum(p) == n) {
        u8 old = *p;
        memmove(p, p + old, (u16)(M + pend + 1 - (p + old)));
        pend -= old;
    }
    if (len) {
        if ((u16)(msize - pend) < rlen + 256)
            error(E_MEMORY);
        memmove(p + rlen, p, (u16)(M + pend + 1 - p));
        p[0] = (u8)rlen;
        p[1] = (u8)n;
        p[2] = (u8)(n >> 8);
        memcpy(p + 3, text, len);
        p[rlen - 1] = 0;
        pend += rlen;
    }
    clear();
}

/* ---- tokens ---- */

static u8 upper(u8 c) { return c >= 'a' && c <= 'z' ? (u8)(c - 32) : c; }

/* Keyword token at s, with its length in *len; 0 when none. */
static u8 keyword(const u8 *s, u8 *len)
{
    const char *k = keywords;
    u8 t = T_PRINT, i;
    while (*k) {
        for (i = 0; k[i] != ' ' && upper(s[i]) == (u8)k[i]; i++)
            ;
        if (k[i] == ' ') {
            *len = i;
            return t;
        }
        while (*k++ != ' ')
            ;
        t++;
    }
    return 0;
}

static void outkw(u8 t)
{
    const char *k = keywords;
    while (t-- > T_PRINT)
        while (*k++ != ' ')
            ;
    while (*k != ' ')
        outc((u8)*k++);
}

/* Tokenises s into out (never longer than s); returns the length. */
static u8 tokenize(const u8 *s, u8 *out)
{
    u8 n = 0, quote = 0, mode = 0, c, t, len;
    while ((c = *s) != 0) {
        if (mode == T_REM || (quote && c != '"')) {
            out[n++] = c;
            s++;
            continue;
        }
        if (c == '"') {
            quote = !quote;
        } else if (mode == T_DATA) {
            if (c == ':')
                mode = 0;
        } else if (c >= 0x80) {
            s++;
            continue;
        } else if ((t = keyword(s, &len)) != 0) {
            out[n++] = t;
            s += len;
            if (t == T_REM || t == T_DATA)
                mode = t;
            continue;
        } else if (c == '?') {
            c = T_PRINT;
        } else {
            c = upper(c);
        }
        out[n++] = c;
        s++;
    }
    out[n] = 0;
    return n;
}

static void listline(const u8 *rec)
{
    const u8 *p = rec + 3;
    u8 quote = 0, mode = 0, c;
    outnum((s16)lnum(rec));
    outc(' ');
    for (; (c = *p) != 0; p++) {
        if (c == '"' && mode != T_REM)
            quote = !quote;
        if (mode == T_DATA && c == ':' && !quote)
            mode = 0;
        if (c < 0x80 || quote || mode) {
            outc(c);
        } else {
            outkw(c);
            if (c == T_REM || c == T_DATA)
                mode = c;
        }
    }
    newline();
}

/* ---- numbers in text ---- */

/* Reads an optionally signed decimal number; returns 0 when there is none. */
static u8 readnum(const u8 **pp, s16 *out, u8 sign)
{
    const u8 *p = *pp;
    u8 negative = 0;
    u16 v = 0;
    while (*p == ' ')
        p++;
    if (sign && (*p == '-' || *p == '+'))
        negative = *p++ == '-';
    if (!is_digit(*p))
        return 0;
    while (is_digit(*p)) {
        if (v > 3276 || (v == 3276 && *p > (u8)(negative ? '8' : '7')))
            error(E_OVERFLOW);
        v = (u16)((v << 3) + (v << 1) + (*p++ - '0'));
    }
    *out = negative ? (s16)(u16)(0 - v) : (s16)v;
    *pp = p;
    return 1;
}

static u16 linearg(void)
{
    s16 n;
    skipsp();
    if (!readnum(&tp, &n, 0))
        error(E_SYNTAX);
    return (u16)n;
}

/* ---- variables ---- */

static u16 findvar(u8 n1, u8 n2, u8 kind)
{
    const u8 *p = M + vbeg, *end = M + vend;
    while (p < end) {
        if (p[0] == n1 && p[1] == n2 && p[2] == kind)
            return (u16)(p - M);
        p += 5 + ((p[3] | (p[4] << 8)) << 1);
    }
    return 0;
}

static u16 makevar(u8 n1, u8 n2, u8 kind, s16 count)
{
    u16 p, size;
    if (count < 1 || count > 8001)
        error(E_VALUE);
    size = (u16)(5 + 2 * count);
    room(size);
    p = vend;
    M[p] = n1;
    M[p + 1] = n2;
    M[p + 2] = kind;
    wr(p + 3, (u16)count);
    memset(M + p + 5, 0, size - 5);
    vend += size;
    return p;
}

static u8 vn1, vn2, vkind;

static void varname(void)
{
    if (!is_alpha(skipsp()))
        error(E_SYNTAX);
    vn1 = *tp++;
    vn2 = 0;
    vkind = 0;
    if (is_alpha(*tp) || is_digit(*tp))
        vn2 = *tp++;
    while (is_alpha(*tp) || is_digit(*tp))
        tp++;
    if (*tp == '$') {
        vkind = 1;
        tp++;
    }
}

/* Parses a variable or array element; returns its cell and leaves its type in etype. */
static u16 varref(void)
{
    u8 n1, n2, kind;
    s16 index = 0;
    u16 v;
    n1 = skipsp();
    n2 = tp[1];
    if (is_alpha(n1) && !is_alpha(n2) && !is_digit(n2) && n2 != '$' && n2 != '(' && n2 != ' ') {
        /* The common case, a one-letter number variable, straight from the cache. */
        u16 *slot = &vcache[(u8)((n1 - 'A') * 2)];
        tp++;
        if (!*slot)
            *slot = makevar(n1, 0, 0, 1);
        etype = 0;
        return (u16)(*slot + 5);
    }
    varname();
    n1 = vn1;
    n2 = vn2;
    kind = vkind;
    if (skipsp() == '(') {
        tp++;
        kind |= 2;
        index = expr();
        if (etype)
            error(E_TYPE);
        expect(')');
    }
    if (kind < 2 && !n2) {
        u16 *slot = &vcache[(u8)((n1 - 'A') * 2 + kind)];
        if (!*slot)
            *slot = makevar(n1, 0, kind, 1);
        etype = kind;
        return (u16)(*slot + 5);
    }
    v = findvar(n1, n2, kind);
    if (!v)
        v = makevar(n1, n2, kind, kind & 2 ? 11 : 1);
    if (index < 0 || (u16)index >= rd(v + 3))
        error(E_SUBSCRIPT);
    etype = kind & 1;
    return (u16)(v + 5 + 2 * index);
}

/* ---- expressions ---- */

static s16 numeric(s16 v)
{
    if (etype)
        error(E_TYPE);
    return v;
}

static s16 nexpr(void) { return numeric(expr()); }

static u8 sexpr(void)
{
    s16 v = expr();
    if (!etype)
        error(E_TYPE);
    return (u8)v;
}

static s16 arg_num(void)
{
    s16 v = nexpr();
    expect(',');
    return v;
}

static u8 byte_arg(s16 v)
{
    if (v < 0 || v > 255)
        error(E_VALUE);
    return (u8)v;
}

static s16 primary(void);
static s16 climb(u8 min);

static s16 function(u8 t)
{
    s16 v, n;
    u8 k, len;
    u16 d;
    expect('(');
    if (t == T_LEFTS || t == T_MIDS || t == T_RIGHTS || t == T_ASC || t == T_LEN ||
        t == T_VAL) {
        k = sexpr();
        d = rd(tcell(k));
        len = slen(d);
        if (t == T_LEN || t == T_ASC || t == T_VAL) {
            if (t == T_LEN) {
                v = len;
            } else if (t == T_ASC) {
                if (!len)
                    error(E_VALUE);
                v = *schars(d);
            } else {
                /* The string ends at its length, not at a zero: copy it out first. */
                u8 buf[16];
                const u8 *p = buf;
                u8 m = len < 15 ? len : 15;
                memcpy(buf, schars(d), m);
                buf[m] = 0;
                if (!readnum(&p, &v, 1))
                    v = 0;
            }
            tdrop();
            etype = 0;
        } else {
            expect(',');
            n = nexpr();
            if (t == T_MIDS) {
                u8 from;
                if (n < 1 || n > 255)
                    error(E_VALUE);
                from = (u8)(n - 1);
                n = 255;
                if (skipsp() == ',') {
                    tp++;
                    n = nexpr();
                }
                n = byte_arg(n);
                if (from > len)
                    from = len;
                if (n > len - from)
                    n = len - from;
                k = tsub(k, from, (u8)n);
            } else {
                n = byte_arg(n);
                if (n > len)
                    n = len;
                k = tsub(k, t == T_LEFTS ? 0 : (u8)(len - n), (u8)n);
            }
            etype = 1;
            v = k;
        }
    } else {
        v = nexpr();
        if (t == T_ABS) {
            if (v < 0)
                v = neg(v);
        } else if (t == T_RND) {
            if (v < 1)
                error(E_VALUE);
            seed = (u16)(seed * 25173u + 13849u);
            v = (s16)((seed >> 1) % (u16)v + 1);
        } else if (t == T_PEEK) {
            v = sys_peek((u16)v);
        } else if (t == T_INP) {
            v = sys_inp(byte_arg(v));
        } else if (t == T_CHRS) {
            u8 c = byte_arg(v);
            v = tfrom(&c, 1);
            etype = 1;
        } else if (t == T_STRS) {
            char buf[8];
            v = tfrom((const u8 *)buf, fmtnum(v, buf));
            etype = 1;
        } else {
            error(E_SYNTAX);
        }
    }
    expect(')');
    return v;
}

static s16 primary(void)
{
    u8 c = skipsp();
    s16 v;
    etype = 0;
    if (is_digit(c)) {
        if (!is_digit(tp[1])) {
            tp++;
            return (s16)(c - '0');
        }
        readnum(&tp, &v, 0);
        return v;
    }
    tp++;
    if (c == '"') {
        const u8 *s = tp;
        while (*tp && *tp != '"')
            tp++;
        v = tfrom(s, (u8)(tp - s));
        if (*tp)
            tp++;
        etype = 1;
        return v;
    }
    if (c == '(') {
        v = expr();
        expect(')');
        return v;
    }
    if (c == '&' && *tp == 'H') {
        /* &H7C00: addresses above 32767 without going negative. */
        u16 h = 0;
        u8 digits = 0, d;
        for (tp++;; tp++) {
            if (is_digit(*tp))
                d = *tp - '0';
            else if ((u8)(*tp - 'A') < 6)
                d = *tp - 'A' + 10;
            else
                break;
            if (++digits > 4)
                error(E_OVERFLOW);
            h = (u16)((h << 4) | d);
        }
        if (!digits)
            error(E_SYNTAX);
        etype = 0;
        return (s16)h;
    }
    if (c == '-') {
        /* A negative literal is read whole, so -32768 can be written. */
        if (is_digit(*tp)) {
            tp--;
            readnum(&tp, &v, 1);
            etype = 0;
            return v;
        }
        return neg(numeric(primary()));
    }
    if (c == '+')
        return numeric(primary());
    if (c >= T_ABS && c < T_LAST)
        return function(c);
    if (c == T_NOT) {
        /* NOT takes in the comparisons after it: NOT A=B is NOT (A=B). */
        if (++depth > DEPTH_MAX)
            error(E_COMPLEX);
        v = (s16)~numeric(climb(4));
        depth--;
        return v;
    }
    tp--;
    {
        u16 cell = varref();
        if (!etype)
            return (s16)rd(cell);
        v = tnew(slen(rd(cell)));
        memcpy(schars(rd(tcell((u8)v))), schars(rd(cell)), slen(rd(cell)));
        return v;
    }
}

/* Comparison result: negative, zero or positive. */
static s16 compare(s16 a, s16 b, u8 strings)
{
    u16 da, db;
    u8 la, lb, i, n;
    if (!strings)
        return a < b ? -1 : a > b;
    da = rd(tcell((u8)a));
    db = rd(tcell((u8)b));
    la = slen(da);
    lb = slen(db);
    n = la < lb ? la : lb;
    for (i = 0; i < n; i++)
        if (schars(da)[i] != schars(db)[i])
            return schars(da)[i] < schars(db)[i] ? -1 : 1;
    return la < lb ? -1 : la > lb;
}

/* Binding strength of a binary operator, 0 for none. */
static u8 strength(u8 op)
{
    if (op == '*' || op == '/' || op == T_MOD)
        return 6;
    if (op == '+' || op == '-')
        return 5;
    if (op == '<' || op == '=' || op == '>')
        return 4;
    if (op == T_AND)
        return 2;
    return op == T_OR ? 1 : 0;
}

/* Operators binding at least min, left to right: one call per operand instead of one per
   level keeps the evaluator quick on this processor. */
static s16 climb(u8 min)
{
    s16 a = primary(), b, r;
    u8 op, p, rel, strings, c;
    for (;;) {
        op = skipsp();
        p = strength(op);
        if (p < min || !p)
            return a;
        tp++;
        rel = 0;
        if (p == 4) {
            for (c = op;; c = *tp++) {
                rel |= c == '<' ? 1 : c == '=' ? 2 : c == '>' ? 4 : 0;
                c = skipsp();
                if (c != '<' && c != '=' && c != '>')
                    break;
            }
        }
        strings = etype;
        if (strings && p != 4 && op != '+')
            error(E_TYPE);
        b = climb(p + 1);
        if (etype != strings)
            error(E_TYPE);
        if (rel) {
            r = compare(a, b, strings);
            if (strings) {
                tdrop();
                tdrop();
            }
            etype = 0;
            a = ((r < 0 && (rel & 1)) || (r == 0 && (rel & 2)) || (r > 0 && (rel & 4))) ? -1 : 0;
        } else if (strings) {
            u8 k = (u8)a, t;
            u8 l1 = slen(rd(tcell(k))), l2 = slen(rd(tcell((u8)b)));
            if (l1 + l2 > 255)
                error(E_LONG);
            t = tnew((u8)(l1 + l2));
            memcpy(schars(rd(tcell(t))), schars(rd(tcell(k))), l1);
            memcpy(schars(rd(tcell(t))) + l1, schars(rd(tcell((u8)b))), l2);
            a = tkeep(k);
            etype = 1;
        } else if (op == '+') {
            a = add(a, b);
        } else if (op == '-') {
            a = add(a, neg(b));
        } else if (op == '*') {
            a = mul(a, b);
        } else if (op == '/' || op == T_MOD) {
            a = divide(a, b, op == T_MOD);
        } else if (op == T_AND) {
            a &= b;
        } else {
            a |= b;
        }
    }
}

static s16 expr(void)
{
    s16 a;
    if (++depth > DEPTH_MAX)
        error(E_COMPLEX);
    a = climb(1);
    depth--;
    return a;
}

/* ---- statements ---- */

/* Hands the newest temporary string over to a variable cell. */
static void tstore(u16 cell, u8 t)
{
    u16 d = rd(tcell(t));
    wr(cell, d);
    if (d)
        wr(d + 1, cell);
    wr(tcell(t), 0);
    tsp = t;
}

static void assignment(void)
{
    u16 cell = varref();
    u8 strings = etype;
    s16 v;
    expect('=');
    v = expr();
    if (etype != strings)
        error(E_TYPE);
    if (strings)
        tstore(cell, (u8)v);
    else
        wr(cell, (u16)v);
}

static void stop(void)
{
    cur = 0;
    tp = nothing;
    jumped = 1;
}

static void goto_line(s16 n)
{
    u8 *p = findline((u16)n);
    if (n < 0 || !*p || lnum(p) != (u16)n)
        error(E_LINE);
    cur = p;
    tp = p + 3;
    jumped = 1;
}

static void breakhere(const u8 *at)
{
    if (cur) {
        cont_ok = 1;
        cont_line = cur;
        cont_tp = at;
    }
    error(E_BREAK);
}

static void outtemp(u8 t)
{
    u16 d = rd(tcell(t));
    u8 i, n = slen(d);
    for (i = 0; i < n; i++)
        outc(schars(d)[i]);
}

static void st_print(void)
{
    u8 c, nl = 1;
    s16 v;
    for (;;) {
        c = skipsp();
        if (!c || c == ':')
            break;
        nl = 1;
        tp++;
        if (c == ';') {
            nl = 0;
        } else if (c == ',') {
            nl = 0;
            do
                outc(' ');
            while (col[chan] % 10);
        } else if (c == T_TAB) {
            expect('(');
            v = byte_arg(nexpr());
            expect(')');
            if (chan == 0)
                v %= 40;
            while (col[chan] < v)
                outc(' ');
        } else {
            tp--;
            v = expr();
            if (etype) {
                outtemp((u8)v);
                tdrop();
            } else {
                if (v >= 0)
                    outc(' ');
                outnum(v);
            }
        }
    }
    if (nl)
        newline();
}

static void st_input(void)
{
    const u8 *list, *p;
    u8 n, ok;
    if (skipsp() == '"') {
        outtemp((u8)primary());
        tdrop();
        if (skipsp() != ';' && *tp != ',')
            error(E_SYNTAX);
        tp++;
    }
    list = tp;
    for (;;) {
        outs("? ");
        n = sys_getline(lbuf, LINE_MAX);
        col[0] = 0;
        if (n == 0xFF)
            breakhere(stmt_tp);
        p = (const u8 *)lbuf;
        tp = list;
        ok = 1;
        for (;;) {
            u16 cell = varref();
            while (*p == ' ')
                p++;
            if (etype) {
                const u8 *s = p;
                while (*p && *p != ',')
                    p++;
                tstore(cell, tfrom(s, (u8)(p - s)));
            } else {
                s16 v;
                if (!readnum(&p, &v, 1)) {
                    ok = 0;
                    break;
                }
                wr(cell, (u16)v);
                while (*p == ' ')
                    p++;
            }
            if (skipsp() != ',')
                break;
            tp++;
            if (*p != ',') {
                ok = 0;
                break;
            }
            p++;
        }
        if (ok && !*p)
            return;
        outs("Redo\r");
        col[0] = 0;
    }
}

static void nextdata(void)
{
    const u8 *q;
    u8 quote = 0;
    if (!dline) {
        dline = M + PROG;
        q = dline + 3;
    } else {
        q = dptr;
    }
    for (;;) {
        if (!*dline)
            error(E_DATA);
        for (; *q; q++) {
            if (*q == '"')
                quote = !quote;
            else if (!quote && *q == T_REM)
                break;
            else if (!quote && *q == T_DATA) {
                dptr = q + 1;
                return;
            }
        }
        dline += *dline;
        q = dline + 3;
        quote = 0;
    }
}

static void st_read(void)
{
    for (;;) {
        u16 cell = varref();
        u8 strings = etype;
        const u8 *p;
        for (;;) {
            if (dptr) {
                p = dptr;
                while (*p == ' ')
                    p++;
                if (*p && *p != ':')
                    break;
            }
            nextdata();
        }
        if (strings) {
            const u8 *s = p;
            u8 len;
            if (*p == '"') {
                s = ++p;
                while (*p && *p != '"')
                    p++;
                len = (u8)(p - s);
                if (*p)
                    p++;
            } else {
                while (*p && *p != ',' && *p != ':')
                    p++;
                len = (u8)(p - s);
                while (len && s[len - 1] == ' ')
                    len--;
            }
            tstore(cell, tfrom(s, len));
        } else {
            s16 v;
            if (!readnum(&p, &v, 1))
                error(E_SYNTAX);
            wr(cell, (u16)v);
        }
        while (*p == ' ')
            p++;
        if (*p == ',')
            p++;
        else if (*p && *p != ':')
            error(E_SYNTAX);
        dptr = p;
        if (skipsp() != ',')
            return;
        tp++;
    }
}

static void st_for(void)
{
    u16 cell = varref();
    struct ForFrame *f;
    u8 i;
    if (etype)
        error(E_TYPE);
    expect('=');
    wr(cell, (u16)nexpr());
    expect(T_TO);
    for (i = 0; i < fsp; i++)
        if (fors[i].cell == cell)
            fsp = i;
    if (fsp == FOR_MAX)
        error(E_COMPLEX);
    f = &fors[fsp];
    f->limit = nexpr();
    f->step = 1;
    if (skipsp() == T_STEP) {
        tp++;
        f->step = nexpr();
    }
    f->cell = cell;
    f->line = cur;
    f->tp = tp;
    fsp++;
}

static void st_next(void)
{
    for (;;) {
        struct ForFrame *f;
        s16 v, r;
        if (is_alpha(skipsp())) {
            u16 cell = varref();
            while (fsp && fors[fsp - 1].cell != cell)
                fsp--;
        }
        if (!fsp)
            error(E_NEXT);
        f = &fors[fsp - 1];
        v = (s16)rd(f->cell);
        r = (s16)(u16)((u16)v + (u16)f->step);
        /* The variable ends one step past the limit; a step that would overflow ends the
           loop with the variable at its last value. */
        if (!((f->step < 0) == (v < 0) && (r < 0) != (v < 0))) {
            wr(f->cell, (u16)r);
            if (f->step < 0 ? r >= f->limit : r <= f->limit) {
                cur = f->line;
                tp = f->tp;
                return;
            }
        }
        fsp--;
        if (skipsp() != ',')
            return;
        tp++;
    }
}

static void st_dim(void)
{
    do {
        u8 n1, n2, kind;
        s16 n;
        varname();
        n1 = vn1;
        n2 = vn2;
        kind = vkind | 2;
        expect('(');
        n = nexpr();
        expect(')');
        if (n < 0 || n > 8000)
            error(E_VALUE);
        if (findvar(n1, n2, kind))
            error(E_REDIM);
        makevar(n1, n2, kind, (s16)(n + 1));
    } while (skipsp() == ',' && ++tp);
}

static void st_list(void)
{
    u16 a = 0, b = 32767;
    u8 *p;
    if (is_digit(skipsp()))
        a = b = linearg();
    if (skipsp() == '-') {
        tp++;
        b = is_digit(skipsp()) ? linearg() : 32767;
    }
    for (p = findline(a); *p && lnum(p) <= b; p += *p) {
        if (sys_break())
            error(E_BREAK);
        listline(p);
    }
}

static void pr_begin(void)
{
    if (!pr_on) {
        if (sys_pr_open() == SYS_NODEV)
            error(E_DEVICE);
        pr_on = 1;
        pn = 0;
        col[1] = 0;
    }
    chan = 1;
}

static u8 fname[11];

static u8 national(u8 c)
{
    return c == 0x40 || c == 0x60 || (c >= 0x5B && c <= 0x5E) || (c >= 0x7B && c <= 0x7E);
}

/* Turns a string argument into the 8+3 name the file store wants; ".BAS" by default.
   Only letters, digits, '_' and '-' pass, so a name can never leave the store's folder. */
static void filename(void)
{
    u8 t = sexpr(), ext = 0, n = 0, i, c;
    u16 d = rd(tcell(t));
    memset(fname, ' ', 11);
    for (i = 0; i < slen(d); i++) {
        c = upper(schars(d)[i]);
        if (c == '.' && !ext && n) {
            ext = 1;
            n = 8;
            continue;
        }
        if (!(is_alpha(c) || is_digit(c) || c == '_' || c == '-' || national(c)) ||
            n == (ext ? 11 : 8))
            error(E_NAME);
        fname[n++] = c;
    }
    if (!n)
        error(E_NAME);
    if (!ext)
        memcpy(fname + 8, "BAS", 3);
    tdrop();
}

static void dos_begin(u8 write)
{
    u8 st;
    filename();
    st = sys_dos_open(write, fname);
    if (st == SYS_NODEV)
        error(E_DEVICE);
    f_on = 1;
    if (st)
        error(write ? E_FILE : E_NOFILE);
    fbuf = sys_dos_buffer();
    fpos = 0;
}

static void st_save(void)
{
    u8 *p;
    dos_begin(1);
    chan = 2;
    for (p = M + PROG; *p; p += *p)
        listline(p);
    if (fpos) {
        memset(fbuf + fpos, 0x1A, 256 - fpos);
        sys_dos_block(1);
    }
    chan = 0;
    dos_end();
}

static void loadline(u8 n)
{
    const u8 *s = (const u8 *)lbuf;
    s16 num;
    lbuf[n] = 0;
    while (*s == ' ')
        s++;
    if (!*s)
        return;
    if (!readnum(&s, &num, 0))
        error(E_SYNTAX);
    while (*s == ' ')
        s++;
    storeline((u16)num, tbuf, tokenize(s, tbuf));
}

/* Reads a text file: CR LF or LF line ends, 0x1A or the end of the file ends it. */
static void st_load(void)
{
    u8 n = 0, st, c;
    u16 i;
    dos_begin(0);
    newprog();
    do {
        memset(fbuf, 0x1A, 256);
        st = sys_dos_block(0);
        for (i = 0; i < 256; i++) {
            c = fbuf[i];
            if (c == 0x1A) {
                st = 1;
                break;
            }
            if (c == '\n') {
                loadline(n);
                n = 0;
            } else if (c != '\r') {
                if (n == LINE_MAX)
                    error(E_LONG);
                lbuf[n++] = (char)c;
            }
        }
    } while (!st);
    loadline(n);
    dos_end();
}

static void statement(void)
{
    u8 t;
    s16 v;
    for (;;) {
        t = skipsp();
        if (t < 0x80) {
            if (!is_alpha(t))
                error(E_SYNTAX);
            assignment();
            return;
        }
        tp++;
        switch (t) {
        case T_PRINT:
            st_print();
            break;
        case T_LPRINT:
            pr_begin();
            st_print();
            chan = 0;
            break;
        case T_INPUT:
            st_input();
            break;
        case T_LET:
            assignment();
            break;
        case T_IF:
            v = nexpr();
            t = skipsp();
            if (t == T_THEN)
                tp++;
            else if (t != T_GOTO)
                error(E_SYNTAX);
            if (!v) {
                while (*tp)
                    tp++;
                break;
            }
            if (is_digit(skipsp())) {
                goto_line((s16)linearg());
                break;
            }
            continue;
        case T_GOTO:
            goto_line(nexpr());
            break;
        case T_GOSUB:
            v = nexpr();
            if (gsp == GOSUB_MAX)
                error(E_COMPLEX);
            gosubs[gsp].line = cur;
            gosubs[gsp].tp = tp;
            gsp++;
            goto_line(v);
            break;
        case T_RETURN:
            if (!gsp)
                error(E_RETURN);
            gsp--;
            cur = gosubs[gsp].line;
            tp = gosubs[gsp].tp;
            break;
        case T_FOR:
            st_for();
            break;
        case T_NEXT:
            st_next();
            break;
        case T_REM:
            while (*tp)
                tp++;
            break;
        case T_DATA:
            for (t = 0; *tp && (t || *tp != ':'); tp++)
                if (*tp == '"')
                    t = !t;
            break;
        case T_END:
            stop();
            break;
        case T_STOP:
            breakhere(tp);
            break;
        case T_CONT:
            if (!cont_ok)
                error(E_CONT);
            cont_ok = 0;
            cur = cont_line;
            tp = cont_tp;
            jumped = 1;
            break;
        case T_CLS:
            sys_cls();
            col[0] = 0;
            break;
        case T_POKE:
            v = arg_num();
            sys_poke((u16)v, byte_arg(nexpr()));
            break;
        case T_OUT:
            t = byte_arg(arg_num());
            sys_out(t, byte_arg(nexpr()));
            break;
        case T_SOUND:
            sys_out(6, byte_arg(nexpr()));
            break;
        case T_READ:
            st_read();
            break;
        case T_RESTORE:
            dline = 0;
            dptr = 0;
            break;
        case T_RANDOMIZE:
            t = skipsp();
            seed = (t && t != ':') ? (u16)nexpr() : sys_ticks();
            break;
        case T_NEW:
            newprog();
            stop();
            break;
        case T_LIST:
            st_list();
            break;
        case T_LLIST:
            pr_begin();
            st_list();
            chan = 0;
            break;
        case T_RUN:
            t = skipsp();
            clear();
            if (is_digit(t))
                goto_line((s16)linearg());
            else if (M[PROG])
                goto_line((s16)lnum(M + PROG));
            else
                stop();
            break;
        case T_SAVE:
            st_save();
            break;
        case T_LOAD:
            /* The loaded program replaces whatever was running. */
            st_load();
            stop();
            break;
        case T_DIM:
            st_dim();
            break;
        default:
            error(E_SYNTAX);
        }
        return;
    }
}

static void run(void)
{
    u8 c;
    for (;;) {
        c = skipsp();
        if (c == ':') {
            tp++;
            continue;
        }
        if (!c) {
            if (!cur)
                return;
            cur += *cur;
            if (!*cur) {
                cur = 0;
                return;
            }
            tp = cur + 3;
            continue;
        }
        if (sys_break())
            breakhere(tp);
        if (tsp) {
            memset(M, 0, PROG);
            tsp = 0;
        }
        stmt_tp = tp;
        jumped = 0;
        statement();
        if (!jumped && (c = skipsp()) != 0 && c != ':')
            error(E_SYNTAX);
    }
}

/* ---- entry points ---- */

void basic_init(unsigned char *memory, unsigned int size)
{
    M = memory;
    msize = (u16)size;
    seed = 1;
    newprog();
}

unsigned int basic_free(void)
{
    gc();
    return (u16)(hbot - vend);
}

static void do_line(const char *text)
{
    const u8 *s = (const u8 *)text;
    s16 n;
    while (*s == ' ')
        s++;
    if (!*s)
        return;
    if (strlen((const char *)s) > LINE_MAX)
        error(E_LONG);
    if (readnum(&s, &n, 0)) {
        while (*s == ' ')
            s++;
        storeline((u16)n, tbuf, tokenize(s, tbuf));
        return;
    }
    show_ready = 1;
    tokenize(s, tbuf);
    tp = tbuf;
    run();
}

void basic_line(const char *text)
{
    show_ready = 0;
    cur = 0;
    depth = 0;
    if (!setjmp(top))
        do_line(text);
    pr_end();
    dos_end();
    chan = 0;
    if (col[0])
        newline();
    if (show_ready)
        outs("Ready\r");
}

void basic_main(void)
{
    u8 n;
    sys_cls();
    outs("Vorlix BASIC " BASIC_VERSION "\r");
    outnum((s16)basic_free());
    outs(" bytes free\rReady\r");
    for (;;) {
        n = sys_getline(lbuf, LINE_MAX);
        col[0] = 0;
        if (n != 0xFF)
            basic_line(lbuf);
    }
}

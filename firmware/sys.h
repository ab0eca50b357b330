/* What the BASIC interpreter needs from the machine it runs on. The ROM build implements
   it on the real hardware (machine.c); the host unit tests implement it with a scripted
   console and an in-memory file store. */
#ifndef VORLIX_SYS_H
#define VORLIX_SYS_H

void sys_cls(void);
void sys_putc(unsigned char c);
unsigned char sys_getline(char *buf, unsigned char max);  /* length; Ctrl+C gives 0 */
unsigned char sys_break(void);                            /* Ctrl+C since the last call */
unsigned int sys_ticks(void);
unsigned char sys_peek(unsigned int a);
void sys_poke(unsigned int a, unsigned char v);
unsigned char sys_inp(unsigned char port);
void sys_out(unsigned char port, unsigned char v);

/* Device ROM calls. Statuses: 0 done, 0xFF failed, SYS_NODEV when the ROM is absent. */
#define SYS_NODEV 0xFE
unsigned char sys_dos_open(unsigned char write, const unsigned char *name11);
unsigned char sys_dos_block(unsigned char write);
void sys_dos_close(void);
unsigned char *sys_dos_buffer(void);
unsigned char sys_pr_open(void);
unsigned char sys_pr_print(const unsigned char *text, unsigned int n);
void sys_pr_close(void);

#endif

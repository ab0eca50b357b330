/* The BASIC interpreter core: portable C that the ROM build (SDCC) and the host unit
   tests (gcc) share. The machine's start-up calls basic_init and then basic_main; the tests
   call basic_line for each line a user would type. Everything it needs from the machine
   comes through sys.h. */
#ifndef VORLIX_BASIC_H
#define VORLIX_BASIC_H

#define BASIC_VERSION "1.0"

/* Memory for program, variables and strings; size at most 0xFF00 bytes. */
void basic_init(unsigned char *memory, unsigned int size);
/* Banner, then read-and-run lines for ever. */
void basic_main(void);
/* One line as typed at the prompt: stored when numbered, otherwise run at once. */
void basic_line(const char *text);
/* Bytes left for program, variables and strings. */
unsigned int basic_free(void);

#endif

#ifndef VORLIX_BASIC_H
#define VORLIX_BASIC_H
#endif

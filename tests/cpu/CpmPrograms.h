// Small CP/M-style programs, assembled by hand, for cpm-run, its tests and the CPU benchmark.
// They use the console call at 0x0005 (C = 2 prints E, C = 9 prints the string at DE up to
// '$') and end by jumping to 0x0000.
#pragma once

#include <array>
#include <cstdint>

namespace CpmPrograms {

// Prints "Hello, Z80!" and returns to 0x0000. 137 T-states from 0x0100 to the return,
// counting the console routine at 0x0005 (JP, OUT, RET: 31 T-states per call).
inline constexpr std::array<std::uint8_t, 28> HELLO = {
    0x0E, 0x09,        // 0100 LD C,9
    0x11, 0x10, 0x01,  // 0102 LD DE,0110h
    0xCD, 0x05, 0x00,  // 0105 CALL 5
    0x0E, 0x02,        // 0108 LD C,2
    0x1E, 0x21,        // 010A LD E,'!'
    0xCD, 0x05, 0x00,  // 010C CALL 5
    0xC9,              // 010F RET (to 0x0000)
    'H', 'e', 'l', 'l', 'o', ',', ' ', 'Z', '8', '0', '$', 0x00,  // 0110
};
inline constexpr std::uint64_t HELLO_TSTATES = 137;

// An exerciser-style loop over ALU, load, block, indexed, bit, stack and branch instructions,
// with every branch but the loop counters fixed, so that its length is known exactly:
// 38 + rounds * (72 + 1242 * count) + 75 T-states, then it prints "exerciser done".
// count (a word, 0 meaning 65536) and rounds (a byte) can be patched at the offsets below.
inline constexpr std::uint16_t EXERCISER_COUNT_OFFSET = 0x0196 - 0x0100;
inline constexpr std::uint16_t EXERCISER_ROUNDS_OFFSET = 0x0198 - 0x0100;
inline constexpr std::uint64_t ExerciserTStates(std::uint64_t count, std::uint64_t rounds)
{
    return 38 + rounds * (72 + 1242 * count) + 75;
}
inline constexpr std::array<std::uint8_t, 170> EXERCISER = {
    0x31, 0x00, 0xF0,               // 0100 start: LD SP,0F000h
    0xDD, 0x21, 0x00, 0x80,         // 0103 LD IX,8000h
    0xFD, 0x21, 0x00, 0x81,         // 0107 LD IY,8100h
    0xED, 0x4B, 0x96, 0x01,         // 010B round: LD BC,(count)
    0xC5,                           // 010F PUSH BC
    0x21, 0x00, 0x80,               // 0110 loop: LD HL,8000h
    0x11, 0x00, 0x81,               // 0113 LD DE,8100h
    0x01, 0x10, 0x00,               // 0116 LD BC,0010h
    0xED, 0xB0,                     // 0119 LDIR
    0xDD, 0x7E, 0x05,               // 011B LD A,(IX+5)
    0xFD, 0x86, 0x07,               // 011E ADD A,(IY+7)
    0xDD, 0x77, 0x0F,               // 0121 LD (IX+15),A
    0xDD, 0x34, 0x02,               // 0124 INC (IX+2)
    0xFD, 0x35, 0xFD,               // 0127 DEC (IY-3)
    0xDD, 0xCB, 0x01, 0x06,         // 012A RLC (IX+1)
    0xFD, 0xCB, 0x04, 0x46,         // 012E BIT 0,(IY+4)
    0xDD, 0x96, 0x09,               // 0132 SUB (IX+9)
    0xFD, 0xAE, 0x0A,               // 0135 XOR (IY+10)
    0x47,                           // 0138 LD B,A
    0x4E,                           // 0139 LD C,(HL)
    0x78,                           // 013A LD A,B
    0x81,                           // 013B ADD A,C
    0x8A,                           // 013C ADC A,D
    0x93,                           // 013D SUB E
    0x9C,                           // 013E SBC A,H
    0xA5,                           // 013F AND L
    0xAA,                           // 0140 XOR D
    0xB3,                           // 0141 OR E
    0xBC,                           // 0142 CP H
    0x3C,                           // 0143 INC A
    0x0D,                           // 0144 DEC C
    0x57,                           // 0145 LD D,A
    0x59,                           // 0146 LD E,C
    0xCB, 0x27,                     // 0147 SLA A
    0xCB, 0x3A,                     // 0149 SRL D
    0xCB, 0x11,                     // 014B RL C
    0x27,                           // 014D DAA
    0x2F,                           // 014E CPL
    0x17,                           // 014F RLA
    0x19,                           // 0150 ADD HL,DE
    0xED, 0x52,                     // 0151 SBC HL,DE
    0xEB,                           // 0153 EX DE,HL
    0xE5,                           // 0154 PUSH HL
    0xE1,                           // 0155 POP HL
    0x21, 0x20, 0x80,               // 0156 LD HL,8020h
    0x7E,                           // 0159 LD A,(HL)
    0x86,                           // 015A ADD A,(HL)
    0x77,                           // 015B LD (HL),A
    0x23,                           // 015C INC HL
    0x70,                           // 015D LD (HL),B
    0x34,                           // 015E INC (HL)
    0xCB, 0xC6,                     // 015F SET 0,(HL)
    0x32, 0x30, 0x80,               // 0161 LD (8030h),A
    0x3A, 0x31, 0x80,               // 0164 LD A,(8031h)
    0x06, 0x04,                     // 0167 LD B,4
    0xCD, 0x8B, 0x01,               // 0169 inner: CALL sub
    0x10, 0xFB,                     // 016C DJNZ inner   (3 x 13 + 8)
    0x18, 0x00,                     // 016E JR $+2
    0xC1,                           // 0170 POP BC
    0x0B,                           // 0171 DEC BC
    0x78,                           // 0172 LD A,B
    0xB1,                           // 0173 OR C
    0xC5,                           // 0174 PUSH BC
    0xC2, 0x10, 0x01,               // 0175 JP NZ,loop
    0xC1,                           // 0178 POP BC
    0x21, 0x98, 0x01,               // 0179 LD HL,rounds
    0x35,                           // 017C DEC (HL)
    0xC2, 0x0B, 0x01,               // 017D JP NZ,round
    0x0E, 0x09,                     // 0180 LD C,9
    0x11, 0x99, 0x01,               // 0182 LD DE,msg
    0xCD, 0x05, 0x00,               // 0185 CALL 5
    0xC3, 0x00, 0x00,               // 0188 JP 0
    0xDD, 0x23,                     // 018B sub: INC IX
    0xDD, 0x2B,                     // 018D DEC IX
    0xFD, 0x7E, 0x06,               // 018F LD A,(IY+6)
    0xFD, 0xBE, 0x08,               // 0192 CP (IY+8)
    0xC9,                           // 0195 RET
    0x00, 0x00,                     // 0196 count: DW 0 (65536)
    0x08,                           // 0198 rounds: DB 8
    0x65, 0x78, 0x65, 0x72, 0x63, 0x69, 0x73, 0x65, 0x72, 0x20, 0x64, 0x6F, 0x6E, 0x65, 0x0D, 0x0A, 0x24,  // 0199 DB 'exerciser done',13,10,'$'
};

}  // namespace CpmPrograms

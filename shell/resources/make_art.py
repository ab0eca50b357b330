# Draws the shell's pictures: the "Hello World" sample (hello.pbm), the about-box logo
# (logo.png, 16 colours) and the program icon (icon32.png, icon48.png). Run: python3 make_art.py
import zlib, struct
def chunk(t, d): return struct.pack(">I", len(d)) + t + d + struct.pack(">I", zlib.crc32(t + d) & 0xffffffff)
def png_rgba(path, w, h, px):
    raw = b"".join(b"\0" + bytes(sum((list(px[y][x]) for x in range(w)), [])) for y in range(h))
    open(path, "wb").write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, 8, 6, 0, 0, 0)) + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))
def png_pal(path, w, h, idx, pal):
    raw = b"".join(b"\0" + bytes(idx[y]) for y in range(h))
    plte = b"".join(bytes(c) for c in pal)
    open(path, "wb").write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, 8, 3, 0, 0, 0)) + chunk(b"PLTE", plte) + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))

F = {
'V': ["#...#","#...#","#...#","#...#",".#.#.",".#.#.","..#.."],
'o': [".....",".....",".###.","#...#","#...#","#...#",".###."],
'r': [".....",".....","#.##.","##..#","#....","#....","#...."],
'l': [".##..","..#..","..#..","..#..","..#..","..#..",".###."],
'i': ["..#..",".....",".##..","..#..","..#..","..#..",".###."],
'x': [".....",".....","#...#",".#.#.","..#..",".#.#.","#...#"],
}
# Logo 231 x 87, 16 colours at most
W, H = 231, 87
pal = [(16,16,28),(22,22,38),(28,28,48),(34,34,58),(40,40,68),   # 0-4 background bands
       (200,184,32),(232,214,70),(120,108,16),(70,62,10),        # 5 amber, 6 light, 7 dark, 8 shadow
       (32,32,32),(90,90,120),(255,255,255)]                     # 9 screen grey, 10 rule, 11 white
idx = [[min(4, y * 5 // H) for x in range(W)] for y in range(H)]
S = 6; text = "Vorlix"; tw = len(text) * 6 * S - S; x0 = (W - tw) // 2; y0 = 12
def block(x, y, s, c):
    for yy in range(y, y + s):
        for xx in range(x, x + s):
            if 0 <= xx < W and 0 <= yy < H: idx[yy][xx] = c
for pass_, (dx, dy, col) in enumerate([(3, 3, 8), (0, 0, 5)]):
    for i, ch in enumerate(text):
        for r, row in enumerate(F[ch]):
            for c, p in enumerate(row):
                if p == '#':
                    block(x0 + (i * 6 + c) * S + dx, y0 + r * S + dy, S, col)
                    if col == 5:  # highlight on the top-left of each block, a pixel-font sheen
                        for k in range(S - 1):
                            idx[y0 + r * S][x0 + (i * 6 + c) * S + k] = 6
                        for k in range(S):
                            idx[y0 + r * S + k][x0 + (i * 6 + c) * S + S - 1] = 7
# a rule and a row of small "character cells" below, in the screen colours
for x in range(x0, x0 + tw): idx[y0 + 7 * S + 8][x] = 10
for k in range(40):
    x = x0 + k * 5 + 8
    for yy in range(y0 + 7 * S + 13, y0 + 7 * S + 17):
        for xx in range(x, x + 3):
            if xx < x0 + tw: idx[yy][xx] = 5 if (k * 7) % 5 < 3 else 9
png_pal("logo.png", W, H, idx, pal)

def icon(size, path):
    px = [[(0, 0, 0, 0)] * size for _ in range(size)]
    m = max(1, size // 16)
    r = size // 6
    for y in range(size):
        for x in range(size):
            # rounded square bezel
            cx = min(max(x, r), size - 1 - r); cy = min(max(y, r), size - 1 - r)
            if (x - cx) ** 2 + (y - cy) ** 2 <= r * r:
                inner = m * 2 <= x < size - m * 2 and m * 2 <= y < size - m * 2
                px[y][x] = (32, 32, 32, 255) if inner else (90, 90, 120, 255)
    s = (size - 6 * m) // 7
    gx = (size - 5 * s) // 2; gy = (size - 7 * s) // 2
    for r_, row in enumerate(F['V']):
        for c, p in enumerate(row):
            if p == '#':
                for yy in range(gy + r_ * s, gy + r_ * s + s):
                    for xx in range(gx + c * s, gx + c * s + s):
                        px[yy][xx] = (200, 184, 32, 255)
    png_rgba(path, size, size, px)
icon(32, "icon32.png"); icon(48, "icon48.png"); icon(128, "icon128.png"); icon(256, "icon256.png")

# The sample: letters are 0 bits (black in PBM), the rest 1 bits.
# 6x10 cells, glyph pixels in the left 5 columns, rows 1..8 used
G = {
'H': ["#...#","#...#","#...#","#####","#...#","#...#","#...#"],
'e': [".....",".....",".###.","#...#","#####","#....",".###."],
'l': [".##..","..#..","..#..","..#..","..#..","..#..",".###."],
'o': [".....",".....",".###.","#...#","#...#","#...#",".###."],
' ': ["....."]*7,
'W': ["#...#","#...#","#...#","#.#.#","#.#.#","##.##","#...#"],
'r': [".....",".....","#.##.","##..#","#....","#....","#...."],
'd': ["....#","....#",".####","#...#","#...#","#...#",".####"],
}
W,H = 73,14
img = [[1]*W for _ in range(H)]   # 1 = background
x0, y0 = 4, 3
for i,ch in enumerate("Hello World"):
    for r,row in enumerate(G[ch]):
        for c,p in enumerate(row):
            if p == '#':
                img[y0+r][x0+i*6+c] = 0
# PBM: 1 = black. Letters (0 bits) drawn black.
with open("hello.pbm","w") as f:
    f.write("P1\n# Hello World sample, letters black\n%d %d\n" % (W,H))
    for row in img:
        f.write(" ".join("1" if v == 0 else "0" for v in row) + "\n")

#!/usr/bin/env python3
# Writes examples/hsc.ini: an invented demo score file in code page 932 with CR LF ends.
# Run from the repository root; the seed keeps the file the same each time.
import random
random.seed(20261207)
titles = ["星降る夜のマーチ","Morning Glide","表参道ランナー","ソーダ色の坂道","Clockwork Parade","雨上がりの約束",
"Neon Harbor","風見鶏のうた","Paper Lantern","ひだまり交差点","Glass Orbit","夏空フォトグラフ","Velvet Engine",
"月影ワルツ","Maple Street Swing","スノードーム","Tin Soldier Rag","桜前線ステップ","Blue Comet","ねこじゃらし行進曲",
"Lighthouse Echo","Afterglow Drive","かざぐるま","Crystal Staircase","真夜中のソナタ","Riverbank Polka","金平糖ファンファーレ",
"Signal Fire","ゆめみる機関車","Last Train Home"]
out = ["; dori-fen score file (demo written for quillbox)", "[Options]", "Volume=80", "Speed=3", ""]
for i, t in enumerate(titles):
    diff = "Hard" if i % 3 else "Normal"
    out.append(f"[{t}\\{diff}]")
    std = i < 9
    for p in range(1, 9):
        played = random.randint(0, 40) if random.random() < 0.85 else random.randint(100, 480)
        if i == 27 and p == 3: played = 0
        hp = 0 if played == 0 else min(110, max(0, int(random.gauss(70 if std else 55, 25))))
        if i == 4 and p == 8: hp = 104
        out.append(f"HPR{p}={hp}")
        out.append(f"HPs{p}={played}")
        # Most players' best scores stay below a million; two 7-digit ones show
        # how the best-score chart runs such cells together.
        scores = sorted([random.randint(200000, 999999) for _ in range(3)], reverse=True) if played else [0,0,0]
        if i == 2 and p == 1: scores[0] = 1234567
        if i == 17 and p == 6: scores[0] = 1003500
        for r in range(1, 4):
            n = scores[r-1]
            pr = 0 if n == 0 else min(hp, max(0, hp - random.randint(0, 15)))
            out.append(f"PR{r}{p}={pr}")
            out.append(f"SCORE{r}{p}={n}")
    if i == 5:
        out.append("Memo=二人で遊んだ曲")
    if i == 12:
        out.append("hpr1=99")
        out.append("")
data = "\r\n".join(out) + "\r\n"
open("examples/hsc.ini", "wb").write(data.encode("cp932"))

#!/usr/bin/env python3
"""Writes the nationwide sample input data/sample-input-japan.csv and its answer key.

The records are drawn with a fixed seed from the nationwide town list (data/japan-towns.csv.xz),
every prefecture represented, and their addresses are written the many ways customers write
them: ASCII, full-width and kanji numerals, 丁目/番/号 or hyphens, の, spaces, building names,
no prefecture, 大字/字 towns (大字 sometimes left out, as the town lookup allows), and
municipality names that several prefectures or cities share (北区, 中央区, 府中市, 伊達市). A few records are wrong on purpose
(a misspelt town, a town of another municipality, an address abroad, no address at all).

Only towns whose address can be written without ambiguity are drawn: rows with a 小字, without a
point, with a name the CP932 input cannot hold or that is not a place name ((大字なし), names
joined with ・), and towns whose name is also another town of the municipality with a 丁目
number after it (旭町 beside 旭町一丁目: 旭町1-2 could be either) or then 字 and more (知念 beside
知念字安座真), or that hold a number with 番/号/丁/線 or a 区 (浜四番丁, 大津区勘兵衛町: read as a
block number or a ward) are left out.

  data/sample-input-japan.csv           ID,顧客名,住所,電話 with a header; CP932, CR LF
  data/sample-input-japan.expected.csv  ID,都道府県名,市区町村名,大字町丁目名: the town each
                                        record was drawn from, empty for the wrong ones; UTF-8

Usage: scripts/make-japan-sample.py [DATA_DIR]   (standard library only)
"""

import csv
import io
import lzma
import random
import re
import sys
from collections import Counter, defaultdict
from pathlib import Path

SEED = 20240607
PER_PREFECTURE = 12  # drawn from every prefecture
WEIGHTED = 300  # drawn from the whole list, so that large prefectures get more
PER_REPEATED_NAME = 3  # from each municipality named 北区, 中央区, 府中市, 伊達市 or 〇〇市北区…
AZA_TOWNS = 80  # towns named 大字… or 字…; of the 大字 ones half written without 大字, which
# the town lookup allows (a 字 it does not: 字 stays)

KANJI_DIGITS = "〇一二三四五六七八九"
CHOME = re.compile(r"^(.*?)([一二三四五六七八九十]+)丁目$")
# A number with 番, 号, 丁 or 線 inside a town name (本町通六番町, 浜四番丁, 東十一線北二十二号)
# reads as the block number of a shorter town.
NUMBERED = re.compile(r"[一二三四五六七八九十百千]+(番|号|丁|線)")
SURNAMES = "佐藤 鈴木 高橋 田中 伊藤 渡辺 山本 中村 小林 加藤 吉田 山田 佐々木 山口 松本 井上 木村 林 斎藤 清水".split()
TRADES = "商店 工務店 医院 書店 食堂 酒店 電器 不動産 薬局 運送".split()
BUILDINGS = "ハイツ コーポ メゾン レジデンス パレス".split()
# Numbers after the town: 丁目 towns (chome, block a, house b), others (lot a, branch b).
CHOME_FORMS = ["{town}{chome}丁目{a}番{b}号", "{town}{chome}{dash}{a}{dash}{b}",
               "{town}{chome}{dash}{a}{dash}{b}", "{town}{chome}丁目{a}の{b}",
               "{town}{chome}丁目{a}-{b}"]
LOT_FORMS = ["{town}{a}番地", "{town}{a}{dash}{b}", "{town}{a}{dash}{b}", "{town}{a}の{b}",
             "{town}{a}番地{b}"]
FULL_WIDTH = str.maketrans("0123456789-", "０１２３４５６７８９－")


def kanji_number(n):
    """1234 -> 千二百三十四 (the way addresses write numbers in kanji)."""
    if n == 0:
        return "〇"
    out = ""
    for value, unit in ((1000, "千"), (100, "百"), (10, "十")):
        digit, n = divmod(n, value)
        if digit:
            out += ("" if digit == 1 else KANJI_DIGITS[digit]) + unit
    return out + (KANJI_DIGITS[n] if n else "")


def kanji_value(text):
    """一 .. 九十九 -> 1 .. 99."""
    if "十" not in text:
        return KANJI_DIGITS.index(text)
    tens, _, ones = text.partition("十")
    return (KANJI_DIGITS.index(tens) if tens else 1) * 10 + (KANJI_DIGITS.index(ones) if ones else 0)


def cp932_ok(text):
    try:
        text.encode("cp932")
        return True
    except UnicodeEncodeError:
        return False


def read_towns(data_dir):
    with lzma.open(data_dir / "japan-towns.csv.xz", "rt", encoding="utf-8", newline="") as f:
        rows = list(csv.DictReader(f))
    towns = [r for r in rows if not r["小字・通称名"] and r["緯度"] and r["大字町丁目名"]]
    names = defaultdict(set)  # (prefecture, municipality) -> town names
    bases = defaultdict(set)  # (prefecture, municipality) -> names of 丁目 towns without it
    for r in towns:
        city = (r["都道府県名"], r["市区町村名"])
        names[city].add(r["大字町丁目名"])
        if m := CHOME.match(r["大字町丁目名"]):
            bases[city].add(m.group(1))

    def clear(r):
        town, city = r["大字町丁目名"], (r["都道府県名"], r["市区町村名"])
        if "（" in town or "・" in town or not cp932_ok(town + r["市区町村名"]):
            return False
        m = CHOME.match(town)
        if NUMBERED.search(m.group(1) if m else town) or "区" in town:
            return False
        # 知念字安座真 beside a town 知念: the rest reads as the remainder of 知念.
        if (inner := re.match(r"(.+?)大?字", town)) and inner.group(1) in names[city]:
            return False
        return town not in bases[city] and not (m and m.group(1) in names[city])

    return [r for r in towns if clear(r)], names


def writable_alone(names):
    """The municipalities that can be written without their prefecture: no other one of any
    prefecture has the same name or ends with it (北区 is also the end of 大阪市北区)."""
    cities = Counter(city for (_, city) in names)
    return {c for c in cities
            if cities[c] == 1 and not any(o != c and o.endswith(c) for o in cities)}


class Writer:
    def __init__(self, rng, alone):
        self.rng = rng
        self.alone = alone  # municipalities that may be written without their prefecture

    def digits(self, n, style):
        s = str(n)
        return s.translate(FULL_WIDTH) if style == "full" else kanji_number(n) if style == "kanji" else s

    def place(self, town):
        """The town and its numbers as customers write them; kanji numbers only in the first
        form of each list (丁目・番・号, 番地), as they are written."""
        rng = self.rng
        style = rng.choice(["ascii", "ascii", "full", "kanji"])
        m = CHOME.match(town)
        forms = CHOME_FORMS if m else LOT_FORMS
        form = forms[0] if style == "kanji" else rng.choice(forms)
        d = lambda n: self.digits(n, style)
        return form.format(town=m.group(1) if m else town,
                           chome=d(kanji_value(m.group(2))) if m else "",
                           a=d(rng.randint(1, 30 if m else 2500)), b=d(rng.randint(1, 40)),
                           dash="－" if style == "full" else "-")

    def address(self, row, town_as_written):
        rng = self.rng
        pref, city = row["都道府県名"], row["市区町村名"]
        place = self.place(town_as_written)
        if rng.random() < 0.15 and city in self.alone:
            parts = [city, place]
        else:
            parts = [pref, city, place]
        space = rng.choice(["", "", "", "", " ", "　"])
        text = space.join(parts)
        if rng.random() < 0.12:
            base = CHOME.match(town_as_written).group(1) if CHOME.match(town_as_written) else town_as_written
            text += f" {rng.choice(BUILDINGS)}{base.removeprefix('大字').removeprefix('字')} {rng.randint(1, 9)}0{rng.randint(1, 9)}"
        return text


def main():
    root = Path(__file__).resolve().parent.parent
    data_dir = Path(sys.argv[1]) if len(sys.argv) > 1 else root / "data"
    rng = random.Random(SEED)
    towns, names = read_towns(data_dir)
    writer = Writer(rng, writable_alone(names))

    by_pref = defaultdict(list)
    for r in towns:
        by_pref[r["都道府県名"]].append(r)
    drawn = []
    for pref in by_pref:  # file order: JIS order
        drawn += rng.sample(by_pref[pref], PER_PREFECTURE)
    drawn += rng.sample(towns, WEIGHTED)
    repeated = defaultdict(list)
    for r in towns:
        if re.fullmatch(r"(.+市)?(北区|中央区)|府中市|伊達市", r["市区町村名"]):
            repeated[(r["都道府県名"], r["市区町村名"])].append(r)
    for city in repeated:
        drawn += rng.sample(repeated[city], min(PER_REPEATED_NAME, len(repeated[city])))
    aza = [r for r in towns if re.match(r"^大?字", r["大字町丁目名"])]
    aza_drawn = rng.sample(aza, AZA_TOWNS)

    records = []  # (address, expected row or None)
    for r in drawn:
        records.append((writer.address(r, r["大字町丁目名"]), r))
    for i, r in enumerate(aza_drawn):
        town = r["大字町丁目名"]
        stripped = town.removeprefix("大字")
        others = names[(r["都道府県名"], r["市区町村名"])]
        if i % 2 and stripped != town and stripped not in others and not CHOME.match(stripped):
            town = stripped
        records.append((writer.address(r, town), r))
    rng.shuffle(records)

    # Wrong on purpose: nothing in the town list fits them.
    wrong = []
    for r in rng.sample(towns, 6):  # one character of the town replaced
        town = r["大字町丁目名"]
        m = CHOME.match(town)
        i = rng.randrange(len(m.group(1) if m else town))
        misspelt = town[:i] + ("沢" if town[i] != "沢" else "滝") + town[i + 1:]
        if misspelt not in names[(r["都道府県名"], r["市区町村名"])]:
            wrong.append(f"{r['都道府県名']}{r['市区町村名']}{writer.place(misspelt)}")
    for r in rng.sample(towns, 3):  # a town of one municipality under another of the prefecture
        others = sorted(c for (p, c) in names if p == r["都道府県名"] and c != r["市区町村名"])
        city = rng.choice(others)
        if r["大字町丁目名"] not in names[(r["都道府県名"], city)]:
            wrong.append(f"{r['都道府県名']}{city}{writer.place(r['大字町丁目名'])}")
    wrong += [
        "アメリカ合衆国カリフォルニア州ロサンゼルス市メインストリート100",
        "大韓民国ソウル特別市中区世宗大路110",
        "中華人民共和国上海市黄浦区南京東路1号",
        "United Kingdom London Baker Street 221B",
        "北海道",
        "",
    ]
    for address in wrong:
        records.insert(rng.randrange(len(records) + 1), (address, None))

    out = io.StringIO()
    key = io.StringIO()
    sample = csv.writer(out, lineterminator="\r\n")
    answers = csv.writer(key, lineterminator="\n")
    sample.writerow(["ID", "顧客名", "住所", "電話"])
    answers.writerow(["ID", "都道府県名", "市区町村名", "大字町丁目名"])
    for n, (address, row) in enumerate(records, 1):
        record_id = f"{n:04d}"
        name = rng.choice(SURNAMES) + rng.choice(TRADES)
        phone = f"0{rng.randint(11, 99)}-{rng.randint(100, 9999)}-{rng.randint(1000, 9999)}"
        if rng.random() < 0.05 and address:
            address = f'"{address}"'  # quoted as some programs write every field
            out.write(f"{record_id},{name},{address},{phone}\r\n")
        else:
            sample.writerow([record_id, name, address, phone])
        answers.writerow([record_id] + ([row["都道府県名"], row["市区町村名"], row["大字町丁目名"]]
                                        if row else ["", "", ""]))
    (data_dir / "sample-input-japan.csv").write_bytes(out.getvalue().encode("cp932"))
    (data_dir / "sample-input-japan.expected.csv").write_text(key.getvalue(), encoding="utf-8")
    print(f"{len(records)} records, {len(wrong)} wrong on purpose, "
          f"{len({r['都道府県名'] for _, r in records if r})} prefectures")


if __name__ == "__main__":
    main()

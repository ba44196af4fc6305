#!/usr/bin/env python3
"""Builds demo/catalogue: the emulator table, the tree, game lists, documents,
pictures and game files that the demo opens.

Everything under demo/catalogue is output of this script: files it no longer
makes are removed, and a file whose bytes did not change is left untouched.
Every run gives the same bytes (fixed ZIP dates, no time stamps in pictures). Pictures are drawn with
ImageMagick's convert; everything else needs only the standard library.

    python3 demo/tools/make_demo.py            # writes demo/catalogue
    python3 demo/tools/make_demo.py --out DIR  # writes elsewhere
"""

import argparse
import hashlib
import io
import os
import shutil
import subprocess
import sys
import tempfile
import zipfile

CONVERT = "/usr/bin/convert"
FONT = "/usr/share/fonts/truetype/arphic/uming.ttc"
PICTURE_SIZE = "160x120"
ZIP_DATE = (2001, 5, 20, 12, 0, 0)

# --------------------------------------------------------------------------
# Table files: one line per row, "," between fields, "" for an empty cell, a
# cell holding "," enclosed in quotes, CR LF after every line, Big5 bytes.


def table_cell(text):
    if text == "":
        return '""'
    if "," in text:
        return '"' + text + '"'
    return text


def table_bytes(rows):
    width = max(len(r) for r in rows)
    out = bytearray()
    for row in rows:
        cells = list(row) + [""] * (width - len(row))
        out += ",".join(table_cell(c) for c in cells).encode("big5") + b"\r\n"
    return bytes(out)


def text_bytes(lines):
    return "".join(line.rstrip() + "\r\n" for line in lines).encode("big5")


def write(root, rel, data):
    path = os.path.join(root, *rel.split("/"))
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)
    return path


def win(rel):
    """A catalogue path as the user would type it on the original system."""
    return rel.replace("/", "\\")


# --------------------------------------------------------------------------
# Game files and archives.


def game_bytes(stem, kind="ROM"):
    lines = [f"RIX FrontEnd demo {kind}: {stem}"]
    lines += [f"{stem} data block {i:02d}: " + "0123456789ABCDEF" * 2 for i in range(6)]
    return ("\r\n".join(lines) + "\r\n").encode("ascii")


class _Unseekable(io.RawIOBase):
    """A sink that cannot seek, so that zipfile writes data descriptors."""

    def __init__(self):
        super().__init__()
        self.data = bytearray()

    def writable(self):
        return True

    def write(self, b):
        self.data += b
        return len(b)


def zip_bytes(entries, descriptors=False):
    """entries: (name, bytes, method); a name ending in "/" is a folder."""
    sink = _Unseekable() if descriptors else io.BytesIO()
    with zipfile.ZipFile(sink, "w") as z:
        for name, data, method in entries:
            info = zipfile.ZipInfo(name, date_time=ZIP_DATE)
            info.create_system = 0  # MS-DOS attributes, as the old tools wrote
            info.compress_type = method
            info.external_attr = 0x10 if name.endswith("/") else 0x20
            z.writestr(info, data, compress_type=method, compresslevel=9)
    return bytes(sink.data if descriptors else sink.getvalue())


DEFLATE = zipfile.ZIP_DEFLATED
STORE = zipfile.ZIP_STORED

# --------------------------------------------------------------------------
# Pictures: a vertical gradient (it packs well in the run-length formats),
# a few shapes chosen from the game's name, and the name itself.

PALETTE = ["#1b3a6b", "#2e7d32", "#6a1b9a", "#b71c1c", "#e65100", "#00695c",
           "#37474f", "#4527a0", "#ad1457", "#283593", "#558b2f", "#5d4037"]
LIGHTS = ["#ffe082", "#b3e5fc", "#c8e6c9", "#f8bbd0", "#fff59d", "#d1c4e9",
          "#ffccbc", "#b2dfdb", "#f0f4c3", "#cfd8dc"]
ACCENTS = ["#ffca28", "#ef5350", "#66bb6a", "#42a5f5", "#ab47bc", "#ffa726",
           "#26c6da", "#d4e157", "#ec407a", "#8d6e63"]

FORMATS = {
    # extension: (label, convert options placed before the output name, prefix)
    "png": ("PNG", ["-define", "png:exclude-chunk=date,time"], ""),
    "png8": ("PNG 8", ["+dither", "-colors", "64", "-define", "png:exclude-chunk=date,time"], ""),
    "gif": ("GIF", ["+dither", "-colors", "64"], ""),
    "jpg": ("JPEG", ["-quality", "82", "-sampling-factor", "2x2"], ""),
    "bmp": ("BMP 8", ["+dither", "-colors", "64", "-type", "Palette", "-compress", "none"], "BMP3:"),
    "bmp24": ("BMP 24", ["-type", "TrueColor", "-compress", "none"], "BMP3:"),
    "tif": ("TIFF", ["-compress", "lzw"], "TIFF:"),
    "tif8": ("TIFF 8", ["+dither", "-colors", "64", "-compress", "lzw"], "TIFF:"),
    "pcx": ("PCX 8", ["+dither", "-colors", "64", "-type", "Palette"], "PCX:"),
    "pcx24": ("PCX 24", ["-type", "TrueColor"], "PCX:"),
}


def picture(root, rel, title, style):
    """Draws one picture; style is a key of FORMATS (the file keeps rel's name)."""
    seed = hashlib.sha256(rel.encode("utf-8")).digest()
    top = PALETTE[seed[0] % len(PALETTE)]
    bottom = LIGHTS[seed[1] % len(LIGHTS)]
    args = [CONVERT, "-size", PICTURE_SIZE, f"gradient:{top}-{bottom}"]
    # Ground band under the title.
    args += ["-fill", "#00000040", "-draw", "rectangle 0,86 159,119"]
    for i in range(3 + seed[2] % 2):
        a = seed[3 + i * 5: 8 + i * 5]
        colour = ACCENTS[a[0] % len(ACCENTS)]
        x, y = 14 + a[1] % 130, 10 + a[2] % 62
        r = 8 + a[3] % 16
        shape = a[4] % 4
        args += ["-fill", colour, "-stroke", "#202020", "-strokewidth", "1"]
        if shape == 0:
            args += ["-draw", f"circle {x},{y} {x + r},{y}"]
        elif shape == 1:
            args += ["-draw", f"rectangle {x - r},{y - r // 2} {x + r},{y + r // 2}"]
        elif shape == 2:
            args += ["-draw", f"polygon {x},{y - r} {x + r},{y + r} {x - r},{y + r}"]
        else:
            args += ["-draw", f"ellipse {x},{y} {r + 6},{r // 2 + 3} 0,360"]
    label, options, prefix = FORMATS[style]
    args += ["-stroke", "none", "-font", FONT, "-pointsize", "19", "-gravity", "south",
             "-fill", "#000000", "-annotate", "+1+9", title,
             "-fill", "#ffffff", "-annotate", "+0+10", title,
             "-gravity", "northeast", "-pointsize", "10", "-fill", "#000000",
             "-annotate", "+3+3", label, "-strip"]
    path = os.path.join(root, *rel.split("/"))
    os.makedirs(os.path.dirname(path), exist_ok=True)
    subprocess.run(args + options + [prefix + path], check=True)
    if style.startswith("pcx"):
        check_pcx(path, 3 if style == "pcx24" else 1)


def check_pcx(path, planes):
    with open(path, "rb") as f:
        head = f.read(128)
    # Manufacturer 10, run-length encoding, 8 bits per plane.
    if head[0] != 10 or head[2] != 1 or head[3] != 8 or head[65] != planes:
        sys.exit(f"{path}: unexpected PCX layout {list(head[:4])} planes {head[65]}")


# --------------------------------------------------------------------------
# The catalogue itself.

HEADER = ["選項頁", "階層代碼", "說明檔", "模擬器", "遊戲列表", "遊戲目錄", "圖片目錄",
          "ROM 前參數", "ROM 後參數", "在模擬器目錄執行", "在遊戲目錄執行", "目錄模式", "網址",
          "名稱", "備註"]

LIST_HEADER = ["狀態", "遊戲名稱", "年份, 製作", "遊戲檔案", "圖片", "備註"]

EMULATOR = "emu\\demoemu"

# Each emulator: its row and the files that go with it. Games are
# (name, year/maker, column 3, column 4, note, picture style); column 4 is
# written as the list shows it, the file on disk is its lower-case form.
EMULATORS = [
    {
        "row": ["NeoRage", "1", "docs\\neo.txt", EMULATOR, "lists\\neo.lst", "games\\neo\\",
                "pics\\neo\\", "", "-vga -f3 -x", "Yes", "No", "No",
                "http://rixfront.example/neo/", "NeoRage 示範",
                "ZIP 遊戲, 指定壓縮檔成員"],
        "list": "lists/neo.lst",
        "games": [
            ("星際飛龍", "1996, 示範工作室", "starwing.zip;starwing.rom", "STARWING.PNG",
             "只解開指定的成員", "png"),
            ("武士之魂", "1995, 示範工作室", "samurai.zip", "Samurai.pcx",
             "傳入壓縮檔的第一個檔案", "pcx"),
            ("快打小子", "1997, 虹光軟體", "kid.zip;KID.ROM", "kid.png",
             "成員名稱大小寫不同", "png8"),
            ("地底探險", "1998, 虹光軟體", "cave.zip;cave.rom", "CAVE.PCX",
             "壓縮檔不存在", "pcx"),
            ("賽車狂", "1994, 示範工作室", "racer.rom", "", "未壓縮，沒有圖片", None),
            ("拳王爭霸", "1999, 虹光軟體", "fighter.zip;fighter.rom", "Fighter.Pcx",
             "壓縮檔帶資料描述區", "pcx24"),
            ("雲端鬥士", "2000, 示範工作室", "cloud.zip;cloud.rom", "cloud.PNG",
             "未壓縮的成員", "png"),
        ],
    },
    {
        "row": ["zSNES", "2", "docs\\snes.txt", EMULATOR, "lists\\snes.lst", "Games\\SNES\\",
                "pics\\snes\\", "-m", "-r 2", "No", "Yes", "No",
                "http://rixfront.example/zsnes/", "zSNES 示範",
                "在遊戲目錄執行；遊戲目錄大小寫與磁碟不同"],
        "list": "lists/snes.lst",
        "games": [
            ("青蛙大冒險", "1993, 綠葉遊戲", "frog.smc", "FROG.GIF", "", "gif"),
            ("太空貓", "1994, 綠葉遊戲", "SpaceCat.smc", "SpaceCat.bmp",
             "檔名大小寫與磁碟不同", "bmp"),
            ("魔法森林", "1995, 星河娛樂", "forest.smc", "Forest.gif", "", "gif"),
            ("海底王國", "1996, 星河娛樂", "ocean.smc", "OCEAN.BMP", "遊戲檔不存在", "bmp24"),
            ("積木塔", "1995, 綠葉遊戲", "blocks.smc", "", "沒有圖片", None),
        ],
    },
    {
        "row": ["Common", "3", "docs\\arcade.txt", EMULATOR, "lists\\arcade.lst",
                "games\\arcade\\", "pics\\arcade\\", "-window", "", "Yes", "Yes", "Yes",
                "http://www.example.com/arcade/", "街機合輯",
                "目錄模式：壓縮檔解開成資料夾"],
        "list": "lists/arcade.lst",
        "games": [
            ("古堡迷宮", "1992, 紅磚遊戲", "castle.zip", "castle.jpg", "整個資料夾", "jpg"),
            ("地下城 第一層", "1993, 紅磚遊戲", "dungeon.zip;dungeon\\level1.dat",
             "DUNGEON.TIF", "只解開第一層", "tif8"),
            ("高塔守衛", "1994, 紅磚遊戲", "tower.zip", "Tower.jpg", "壓縮檔不存在", "jpg"),
            ("龍之谷", "1995, 山嵐軟體", "dragon.zip", "Dragon.TIF", "子資料夾", "tif"),
        ],
    },
    {
        "row": ["Common", "4", "docs\\pocket.txt", EMULATOR, "lists\\pocket.lst",
                "games\\pocket\\", "pics\\pocket\\", "--speed 2", "--sound off", "No", "No",
                "No", "http://www.example.org/pocket/", "掌上機 示範",
                "三百筆遊戲的長列表"],
        "list": "lists/pocket.lst",
        "games": None,  # generated below
    },
    {
        "row": ["common", "5", "docs\\eight.txt", EMULATOR, "lists\\eight.lst",
                "games\\eight\\", "pics\\eight\\", "", "", "No", "No", "No", "",
                "八位元主機 示範", "遊戲列表檔不存在"],
        "list": None,  # the list file is missing on purpose
        "games": None,
    },
    {
        "row": ["", "6", "docs\\home.txt", EMULATOR, "lists\\home.lst", "games\\home\\",
                "pics\\home\\", "", "-fast", "YES", "", "No",
                "http://rixfront.example/home/", "家用電腦 示範",
                "選項頁空白，使用 Common"],
        "list": "lists/home.lst",
        "games": [
            ("數字拼圖", "1986, 小島工作室", "puzzle.rom", "Puzzle.png", "", "png"),
            ("小精靈迷宮", "1987, 小島工作室", "maze.rom", "MAZE.JPG", "", "jpg"),
            ("彈珠台", "1988, 海風軟體", "pinball.rom", "pinball.gif", "", "gif"),
            ("打字練習", "1989, 海風軟體", "typing.rom", "Typing.tif", "遊戲檔不存在", "tif"),
        ],
    },
    {
        "row": ["neorage", "7", "docs\\neo.txt", EMULATOR, "lists\\neo.lst", "games\\neo\\",
                "pics\\neo\\", "", "-modex -s -j", "No", "No", "No",
                "http://rixfront.example/neo/", "NeoRage 模式X",
                "與 NeoRage 示範共用遊戲列表"],
        "list": None,  # shares lists/neo.lst
        "games": None,
    },
]

# Games whose files are left out so that the list shows a dark marker.
MISSING_GAMES = {"cave.zip", "ocean.smc", "tower.zip", "typing.rom"}

TREE = [
    "街機",
    "\tNeoRage 示範,1",
    "\tNeoRage 模式X,7",
    "\t街機合輯 (目錄模式),3",
    "家用主機",
    "\t任天堂系列",
    "\t\tzSNES 示範,2",
    "\t其他主機",
    "\t\t八位元主機 (缺列表),5",
    "\t\t家用電腦 示範,6",
    "掌上型",
    "\t掌上機 示範,4",
    "我的最愛",
    "\tNeoRage 示範,1",
    "\t掌上機 示範,4",
]

POCKET_ADJ = ["快樂", "勇敢", "神秘", "閃亮", "瘋狂", "迷你", "超級", "古老", "飛天", "午夜"]
POCKET_NOUN = ["小熊", "企鵝", "機器人", "忍者", "火箭", "海盜", "魔法師", "恐龍", "賽車", "方塊"]
POCKET_TAIL = ["大冒險", "救援隊", "傳說"]
POCKET_MAKERS = ["口袋工房", "小方塊", "綠葉遊戲", "星河娛樂", "山嵐軟體"]
POCKET_PICTURES = [("pocket1.bmp", "bmp"), ("pocket2.gif", "gif"), ("pocket3.jpg", "jpg"),
                   ("pocket4.png", "png"), ("pocket5.tif", "tif"), ("pocket6.pcx", "pcx")]


def pocket_games():
    games = []
    for n in range(1, 301):
        name = (POCKET_ADJ[n % 10] + POCKET_NOUN[(n // 10) % 10] + " "
                + POCKET_TAIL[(n - 1) // 100] + f" {n:03d}")
        year = f"{1989 + n % 12}, {POCKET_MAKERS[n % 5]}"
        picture_name = ""
        if n % 4 != 0:
            picture_name = POCKET_PICTURES[n % 6][0]
            if n % 2:
                picture_name = picture_name.upper()
        games.append((name, year, f"p{n:03d}.bin", picture_name, "", None))
    return games


def pocket_present(n):
    return n % 6 == 1


# --------------------------------------------------------------------------
# Documents.

DOCS = {
    "docs/neo.txt": [
        "NeoRage 示範 說明",
        "==================",
        "",
        "這是 RIX FrontEnd 附帶的示範資料。這裡的模擬器是小程式 demoemu，",
        "它不會真的執行遊戲，只把收到的命令列一行一行編號列出來，",
        "方便您看清楚前端怎麼組合命令列。",
        "",
        "設定頁：NeoRage",
        "  ROM 後參數是 -vga -f3 -x。切到「設定」頁可以用核取方塊調整；",
        "  -x 不是 NeoRage 的開關，按下任何一個選項後就會被拿掉。",
        "",
        "遊戲都是 ZIP 壓縮檔，啟動前先解到暫存目錄：",
        "  星際飛龍  指定成員 starwing.rom，只解開這一個檔案。",
        "  武士之魂  沒有指定成員，傳入壓縮檔裡的第一個檔案。",
        "  地底探險  壓縮檔故意不存在，所以列表上的燈號是暗的。",
        "",
        "在模擬器目錄執行：是    在遊戲目錄執行：否",
        "NeoRage 模式X 和本模擬器共用同一份說明與遊戲列表。",
    ],
    "docs/snes.txt": [
        "zSNES 示範 說明",
        "================",
        "",
        "選到這個模擬器時，「設定」頁會顯示搖桿按鍵對照表，",
        "您可以為兩位玩家設定十二個按鍵。",
        "",
        "ROM 前參數：-m    ROM 後參數：-r 2",
        "在遊戲目錄執行：是。啟動時工作目錄換到遊戲目錄，",
        "遊戲只用檔名傳給模擬器，不帶目錄。",
        "",
        "遊戲目錄寫成 Games\\SNES\\，磁碟上其實是 games/snes/，",
        "程式找檔案時不分英文大小寫，一樣找得到。",
        "「太空貓」的檔名在列表裡也和磁碟上的大小寫不同。",
        "「海底王國」的遊戲檔不存在，燈號是暗的。",
    ],
    "docs/arcade.txt": [
        "街機合輯 說明",
        "==============",
        "",
        "這個模擬器示範「目錄模式」：遊戲是 ZIP 壓縮檔，",
        "壓縮檔裡的檔案都放在和壓縮檔同名的資料夾中，",
        "例如 castle.zip 裡面是 castle/castle.rom 與 castle/castle.cfg。",
        "",
        "啟動時整個壓縮檔解到暫存目錄，傳給模擬器的是資料夾名稱 castle。",
        "「地下城 第一層」只指定解開 dungeon\\level1.dat 一個檔案。",
        "「龍之谷」的壓縮檔還有子資料夾 dragon/save/。",
        "",
        "在模擬器目錄執行：是    在遊戲目錄執行：是",
        "下一次啟動遊戲時，上一次解開的資料夾會先被刪除。",
    ],
    "docs/pocket.txt": [
        "掌上機 示範 說明",
        "=================",
        "",
        "這份遊戲列表有三百筆資料，用來試試排序、尋找與捲動的速度。",
        "按一下表頭就會依該欄排序，再按一下改成反向排序。",
        "",
        "只有一部分遊戲檔存在，燈號亮的就是找得到檔案的遊戲。",
        "圖片輪流使用 BMP、GIF、JPEG、PNG、TIFF 與 PCX 六種格式，",
        "列表裡的圖片檔名有大寫也有小寫，程式會先轉成小寫再找。",
        "",
        "ROM 前參數：--speed 2    ROM 後參數：--sound off",
        "在模擬器目錄執行：否    在遊戲目錄執行：否",
        "命令列裡遊戲檔會帶著完整的目錄。",
    ],
    "docs/eight.txt": [
        "八位元主機 示範 說明",
        "=====================",
        "",
        "這個模擬器的遊戲列表檔 lists\\eight.lst 故意不存在，",
        "選到它時，遊戲頁下方會顯示找不到檔案的訊息。",
        "",
        "遊戲目錄 games\\eight\\ 裡已經放了幾個遊戲檔，",
        "可以用「自動建立列表」把它們的檔名加進新的列表，",
        "再用「存檔」寫成 lists\\eight.lst。",
        "",
        "選項頁寫成小寫的 common，一樣顯示 Common 頁。",
        "這一列沒有網址，網址欄是空的。",
    ],
    "docs/home.txt": [
        "家用電腦 示範 說明",
        "===================",
        "",
        "選項頁這一欄是空的，所以顯示 Common 頁。",
        "",
        "在模擬器目錄執行寫成大寫的 YES，一樣算是「是」；",
        "在遊戲目錄執行是空的，算是「否」。",
        "",
        "ROM 後參數：-fast",
        "「打字練習」的遊戲檔不存在，燈號是暗的，",
        "啟動時模擬器仍然會收到它的檔名。",
        "",
        "您可以直接修改這份說明，改完記得存檔。",
    ],
}


def build(root):

    rows = [HEADER]
    for emu in EMULATORS:
        rows.append(emu["row"])
    write(root, "RixFront.ini", table_bytes(rows))
    write(root, "EmuTree.ini", text_bytes(TREE))
    for rel, lines in DOCS.items():
        write(root, rel, text_bytes(lines))

    for emu in EMULATORS:
        row = emu["row"]
        games_dir = row[5].lower().replace("\\", "/")
        pics_dir = row[6].replace("\\", "/")
        if row[1] == "4":
            games = pocket_games()
            for n in range(1, 301):
                if pocket_present(n):
                    write(root, games_dir + f"p{n:03d}.bin", game_bytes(f"p{n:03d}", "BIN"))
            for name, style in POCKET_PICTURES:
                picture(root, pics_dir + name, "掌上機 " + name[6], style)
        else:
            games = emu["games"] or []
        if emu["list"]:
            list_rows = [LIST_HEADER]
            for name, year, file_cell, pic_cell, note, _ in games:
                list_rows.append(["", name, year, file_cell, pic_cell, note])
            write(root, emu["list"], table_bytes(list_rows))
        for name, _, file_cell, pic_cell, _, style in games:
            if style:
                picture(root, pics_dir + pic_cell.lower(), name, style)
        for _, _, file_cell, _, _, _ in emu["games"] or []:
            file_name = file_cell.split(";")[0]
            if file_name in MISSING_GAMES:
                continue
            if not file_name.endswith(".zip"):
                write(root, games_dir + file_name.lower(), game_bytes(file_name.split(".")[0]))

    # The eight-bit console has games and a picture but no list yet.
    for stem in ["bomber", "climber", "diver"]:
        write(root, f"games/eight/{stem}.bin", game_bytes(stem, "BIN"))
    picture(root, "pics/eight/bomber.png", "炸彈超人", "png")

    neo = "games/neo/"
    write(root, neo + "starwing.zip", zip_bytes([
        ("starwing.txt", b"Star Wing demo notes\r\n", STORE),
        ("starwing.rom", game_bytes("starwing") * 4, DEFLATE),
        ("starwing.cfg", b"[video]\r\nmode=vga\r\n", DEFLATE),
    ]))
    write(root, neo + "samurai.zip", zip_bytes([
        ("samurai.rom", game_bytes("samurai") * 3, DEFLATE),
        ("samurai.cfg", b"[sound]\r\nvolume=8\r\n", DEFLATE),
    ]))
    write(root, neo + "kid.zip", zip_bytes([
        ("kid.txt", b"Kid demo: the member is named in upper case in the list\r\n", DEFLATE),
        ("kid.rom", game_bytes("kid") * 2, DEFLATE),
    ]))
    write(root, neo + "fighter.zip", zip_bytes([
        ("fighter.rom", game_bytes("fighter") * 5, DEFLATE),
        ("fighter.txt", b"Written with data descriptors after each entry\r\n", DEFLATE),
    ], descriptors=True))
    write(root, neo + "cloud.zip", zip_bytes([
        ("cloud.rom", game_bytes("cloud"), STORE),
        ("cloud.txt", b"Stored, not compressed\r\n", STORE),
    ]))

    arcade = "games/arcade/"
    write(root, arcade + "castle.zip", zip_bytes([
        ("castle/", b"", STORE),
        ("castle/castle.rom", game_bytes("castle") * 3, DEFLATE),
        ("castle/castle.cfg", b"[input]\r\nplayers=2\r\n", STORE),
    ]))
    write(root, arcade + "dungeon.zip", zip_bytes([
        ("dungeon/level1.dat", game_bytes("level1", "DAT") * 2, DEFLATE),
        ("dungeon/level2.dat", game_bytes("level2", "DAT") * 2, DEFLATE),
        ("dungeon/readme.txt", b"Dungeon: two levels\r\n", STORE),
    ]))
    write(root, arcade + "dragon.zip", zip_bytes([
        ("dragon/", b"", STORE),
        ("dragon/dragon.rom", game_bytes("dragon") * 3, DEFLATE),
        ("dragon/save/", b"", STORE),
        ("dragon/save/slot1.sav", b"SAVE SLOT 1\r\n" * 8, DEFLATE),
    ]))


def sync(built, out):
    """Moves the fresh files into out, leaving files whose bytes did not change
    untouched, so that a build copies again only what really changed."""
    fresh = set()
    for d, _, files in os.walk(built):
        for f in files:
            src = os.path.join(d, f)
            rel = os.path.relpath(src, built)
            fresh.add(rel)
            dst = os.path.join(out, rel)
            if os.path.isfile(dst):
                with open(src, "rb") as a, open(dst, "rb") as b:
                    if a.read() == b.read():
                        continue
            os.makedirs(os.path.dirname(dst), exist_ok=True)
            shutil.copyfile(src, dst)
    for d, dirs, files in os.walk(out, topdown=False):
        for f in files:
            path = os.path.join(d, f)
            if os.path.relpath(path, out) not in fresh:
                os.remove(path)
        if d != out and not os.listdir(d):
            os.rmdir(d)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--out", default=os.path.join(here, "..", "catalogue"))
    out = os.path.normpath(parser.parse_args().out)
    if not os.access(CONVERT, os.X_OK):
        sys.exit(f"{CONVERT} (ImageMagick) is needed to draw the pictures")
    with tempfile.TemporaryDirectory() as built:
        build(built)
        sync(built, out)
    total = sum(os.path.getsize(os.path.join(d, f)) for d, _, fs in os.walk(out) for f in fs)
    print(f"wrote {out} ({total} bytes)")


if __name__ == "__main__":
    main()

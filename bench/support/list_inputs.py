"""Generated inputs of the size users work with, the same for every seed: number lists to look
up and export, digit lines and GBK text lines to merge. Shared by bench/compare and the test
that compares the Windows build with the Linux one."""

import os
import random


def write_lines(path, lines, end):
    with open(path, "wb") as f:
        f.write(end.join(lines) + end)


def database_prefixes(db):
    with open(db, "rb") as f:
        return [line[:7] for line in f.read().splitlines() if len(line) >= 7]


def numbers(rng, prefixes, count):
    """Numbers to look up: nine in ten in a segment of the database."""
    out = []
    for prefix in rng.choices(prefixes, k=count):
        if rng.random() < 0.9:
            out.append(b"%s%04d" % (prefix, rng.randrange(10000)))
        else:
            out.append(b"1%010d" % rng.randrange(10**10))
    return out


def digit_sources(rng, folder, files, lines, end=b"\n"):
    """Merge sources of eleven-digit lines drawn from a pool half their total size, so that
    about half of the lines repeat one another."""
    pool = [str(n).encode() for n in rng.sample(range(13000000000, 20000000000),
                                                 files * lines // 2)]
    paths = []
    for i in range(files):
        path = os.path.join(folder, f"digits{i}.txt")
        write_lines(path, rng.choices(pool, k=lines), end)
        paths.append(path)
    return paths


SURNAMES = ("王李张刘陈杨黄赵吴周徐孙马朱胡郭何高林罗郑梁谢宋唐许韩冯邓曹彭曾肖田董潘袁蔡蒋余于杜叶程"
            "魏苏吕丁任沈姚卢姜崔钟谭陆汪范金石廖贾夏韦傅方白邹孟熊秦邱江尹薛闫段雷侯龙史陶黎贺顾毛郝"
            "龚邵万钱严覃武戴莫孔向汤")
GIVEN = "伟芳娜秀英敏静丽强磊军洋勇艳杰娟涛明超秀兰霞平刚桂英华建国志红玉梅文斌宇浩凯鹏飞云峰晨阳欣怡子涵雨轩思远嘉豪俊杰梓萱"
WORDS = ["Zhang", "Wang", "Li", "Liu", "Chen", "Yang", "Huang", "Zhao", "Beijing", "Shanghai",
         "Shenzhen", "Guangzhou", "Mobile", "Telecom", "Unicom", "VIP", "Client", "Order"]
CITIES = ["北京", "上海", "广州", "深圳", "南京", "苏州", "杭州", "成都", "重庆", "武汉",
          "西安", "郑州", "长沙", "沈阳", "哈尔滨", "昆明", "乌鲁木齐", "呼和浩特"]


def text_sources(rng, folder, files, lines):
    """GBK text lines: a Chinese name, a romanised word in mixed case, a city and a number;
    repeats differ in letter case (ASCII letters only) now and then."""
    pool = []
    for _ in range(files * lines // 2):
        name = rng.choice(SURNAMES) + "".join(rng.choices(GIVEN, k=rng.randint(1, 2)))
        pool.append(f"{name} {rng.choice(WORDS)}{rng.randint(0, 999)} {rng.choice(CITIES)} "
                    f"1{rng.randint(3, 9)}{rng.randint(0, 999999999):09d}")
    paths = []
    for i in range(files):
        out = []
        for line in rng.choices(pool, k=lines):
            r = rng.random()
            if r < 0.1:
                line = line.upper()
            elif r < 0.2:
                line = line.lower()
            out.append(line.encode("gbk"))
        path = os.path.join(folder, f"text{i}.txt")
        write_lines(path, out, b"\n")
        paths.append(path)
    return paths

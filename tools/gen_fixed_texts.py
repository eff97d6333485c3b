#!/usr/bin/env python3
"""Writes core/text/fixed_texts.h and core/lookup/built_in_code_rows.cpp.

The system's fixed texts and its code tables are GBK byte strings. They are kept
here in readable form and emitted as byte escapes, so that the C++ sources stay
plain ASCII and no compiler character-set option is involved.

Run from the repository root: python3 tools/gen_fixed_texts.py [OUT]
With OUT the files are written under OUT instead of the repository (tools/check.sh
compares them with the committed ones).
"""
import pathlib
import sys

ROOT = pathlib.Path(__file__).resolve().parent.parent
OUT = pathlib.Path(sys.argv[1]) if len(sys.argv) > 1 else ROOT

TEXTS = [
    ("kUnknown", "未知"),
    ("kCardMobile", "移动"),
    ("kCardTelecom", "电信"),
    ("kCardUnicom", "联通"),
    ("kCardVirtual", "虚拟"),
    ("kAnyProvince", "任意省份"),
    ("kAnyCity", "任意城市"),
    ("kAnyCard", "任意卡类"),
    ("kLayoutNumber", "手机号码"),
    ("kLayoutNumberProvince", "手机号码+省份"),
    ("kLayoutNumberCity", "手机号码+城市"),
    ("kLayoutNumberCard", "手机号码+卡类"),
    ("kLayoutNumberProvinceCard", "手机号码+省份+卡类"),
    ("kLayoutNumberCityCard", "手机号码+城市+卡类"),
    ("kLayoutWholeRows", "原表+归属地"),
    ("kColumnProvince", "省份"),
    ("kColumnCity", "城市"),
    ("kColumnCard", "卡类"),
    ("kColumnCount", "数量"),
    ("kColumnShare", "占比"),
    ("kStatusImported", "导入查询数据！"),
    ("kStatusQuerying", "正在查询数据..."),
    ("kStatusStopped", "查询任务中止..."),
    ("kStatusComplete", "查询处理完毕！"),
    ("kRefuseNoDatabase", "程序目录下无号码段数据库文件！"),
    ("kRefuseNoList", "请先导入手机号码列表文件"),
    ("kRefuseImportAgain", "请重新导入手机号码列表文件"),
    ("kReminderNoDatabase", "提醒：程序目录下没有检测到号码段数据库文件！"),
    ("kExportedPrefix", "导出符合数据"),
    ("kExportedSuffix", "条"),
    ("kMergeBusy", "数据正处理中..."),
    ("kMergedPrefix", "文件合并整理完毕！共计："),
    ("kExportBusy", "正在导出数据..."),
    ("kMergeFailed", "文件合并失败！"),
    ("kRefuseUnknownLayout", "导出字段须为列表中的格式之一！"),
    ("kRefuseSplitWholeRows", "分类导出按列表中的六种号码格式之一写出，“原表+归属地”请用导出！"),
    ("kRefuseWholeRowsWithoutTable", "“原表+归属地”只能导出从Excel工作簿或CSV表格导入的号码，请先导入表格！"),
    ("kDropOneFile", "一次只能拖入一个号码列表文件！"),
    ("kDropFolder", "文件夹不能导入，请拖入一个号码列表文件！"),
    ("kMergeReading", "数据正处理中...读取并排序 "),
    ("kMergeMerging", "数据正处理中...归并第"),
    ("kMergePassOf", "遍，共"),
    ("kMergePasses", "遍 "),
]

PROVINCES = ["北京", "天津", "上海", "重庆", "江苏", "山东", "广东", "湖北", "浙江", "广西", "甘肃",
             "河北", "重庆", "辽宁", "四川", "陕西", "安徽", "福建", "海南", "江西", "山西", "湖南",
             "河南", "青海", "贵州", "宁夏", "云南", "吉林", "内蒙", "新疆", "黑龙江", "西藏"]

# (province code, first city code, names in code order)
CITIES = [
    ("01", "0100", "北京"),
    ("02", "0200", "天津"),
    ("03", "0300", "上海"),
    ("04", "0400", "重庆"),
    ("05", "0501", "南京, 苏州, 常州, 无锡, 镇江, 连云港, 盐城, 宿迁, 徐州, 南通, 淮安, 扬州, 泰州"),
    ("06", "0601", "济南, 青岛, 淄博, 烟台, 潍坊, 滨州, 东营, 临沂, 日照, 枣庄, 威海, 聊城, 德州, 泰安, 济宁, 菏泽, 莱芜"),
    ("07", "0701", "广州, 深圳, 汕头, 汕尾, 揭阳, 梅州, 河源, 潮州, 清远, 韶关, 云浮, 中山, 肇庆, 湛江, 阳江, 茂名, 珠海, 惠州, 江门, 佛山, 东莞, 番禺, 花都, 从化"),
    ("08", "0801", "武汉, 荆门, 宜昌, 恩施, 黄石, 鄂州, 黄冈, 孝感, 随州, 襄樊, 十堰, 荆州, 江汉, 咸宁, 仙桃"),
    ("09", "0901", "杭州, 宁波, 温州, 嘉兴, 湖州, 舟山, 绍兴, 衢州, 金华, 台州, 丽水"),
    ("10", "1001", "南宁, 柳州, 桂林, 玉林, 梧州, 北海, 防城港, 百色, 钦州, 河池, 贺州, 贵港, 来宾, 崇左"),
    ("11", "1101", "兰州, 酒泉, 张掖, 武威, 嘉峪关, 白银, 定西, 临夏, 庆阳, 天水, 平凉, 甘南, 陇南, 西峰, 金昌, 武都"),
    ("12", "1201", "石家庄, 保定, 唐山, 秦皇岛, 廊坊, 沧州, 邢台, 邯郸, 衡水, 张家口, 承德"),
    ("13", "1301", "重庆, 黔江, 万州, 涪陵"),
    ("14", "1401", "沈阳, 大连, 辽阳, 阜新, 盘锦, 朝阳, 锦州, 铁岭, 丹东, 本溪, 抚顺, 葫芦岛, 营口, 鞍山"),
    ("15", "1501", "成都, 西昌, 攀枝花, 南充, 遂宁, 达州, 泸州, 内江, 宜宾, 自贡, 乐山, 德阳, 广元, 绵阳, 甘孜, 阿坝, 巴中, 广安, 雅安, 资阳, 康定, 眉山, 马尔康, 凉山"),
    ("16", "1601", "西安, 渭南, 咸阳, 汉中, 宝鸡, 铜川, 延安, 榆林, 商洛, 安康"),
    ("17", "1701", "合肥, 蚌埠, 芜湖, 淮南, 巢湖, 阜阳, 滁州, 池州, 马鞍山, 黄山, 宣城, 铜陵, 安庆, 宿州, 六安, 淮北, 亳州, 贵池"),
    ("18", "1801", "福州, 莆田, 厦门, 漳州, 泉州, 三明, 宁德, 南平, 龙岩"),
    ("19", "1901", "海口, 三亚"),
    ("20", "2001", "南昌, 鹰潭, 上饶, 宜春, 新余, 萍乡, 九江, 赣州, 景德镇, 吉安, 抚州"),
    ("21", "2101", "太原, 晋中, 运城, 临汾, 大同, 晋城, 长治, 忻州, 朔州, 吕梁, 阳泉, 榆次"),
    ("22", "2201", "长沙, 岳阳, 湘潭, 株洲, 衡阳, 郴州, 常德, 益阳, 娄底, 邵阳, 怀化, 张家界, 永州, 吉首, 湘西"),
    ("23", "2301", "郑州, 洛阳, 安阳, 开封, 焦作, 新乡, 许昌, 漯河, 平顶山, 濮阳, 三门峡, 鹤壁, 信阳, 驻马店, 周口, 商丘, 南阳, 潢川"),
    ("24", "2401", "西宁, 格尔木, 海东, 玉树, 果洛, 黄南, 德令哈, 海西, 海北, 海南, 海晏, 共和, 同仁, 玛沁"),
    ("25", "2501", "贵阳, 遵义, 安顺, 铜仁, 凯里, 都匀, 六盘水, 兴义, 毕节, 黔南, 黔东南, 黔西南"),
    ("26", "2601", "银川, 石嘴山, 吴忠, 固原, 中卫"),
    ("27", "2701", "昆明, 红河, 楚雄, 曲靖, 玉溪, 大理, 丽江, 文山, 思茅, 保山, 临沧, 怒江, 德宏, 版纳, 迪庆, 昭通, 个旧, 西双版纳, 景洪, 潞西, 六库, 中甸, 普洱"),
    ("28", "2801", "长春, 四平, 辽源, 松原, 白城, 白山, 延吉, 吉林, 通化, 梅河口, 珲春, 延边"),
    ("29", "2901", "呼和浩特, 集宁, 包头, 鄂尔多斯, 巴彦淖尔, 乌海, 海拉尔, 通辽, 赤峰, 锡林浩特, 东胜, 乌兰浩特, 临河, 呼伦贝尔, 兴安, 阿拉善, 乌兰察布, 锡林郭勒"),
    ("30", "3001", "乌鲁木齐, 昌吉, 石河子, 库尔勒, 喀什, 吐鲁番, 哈密, 阿克苏, 奎屯, 伊犁, 克拉玛依, 阿图什, 和田, 塔城, 阿勒泰, 克州, 博尔塔拉, 克孜勒苏, 巴音郭楞"),
    ("31", "3101", "哈尔滨, 齐齐哈尔, 佳木斯, 牡丹江, 大庆, 绥化, 黑河, 鸡西, 七台河, 鹤岗, 双鸭山, 伊春, 大兴安岭"),
    ("32", "3201", "拉萨, 日喀则, 山南, 林芝, 昌都, 那曲, 阿里"),
]


def city_rows():
    rows = []
    for _province, first, names in CITIES:
        start = int(first)
        for i, name in enumerate(n.strip() for n in names.split(",")):
            rows.append((f"{start + i:04d}", name))
    return rows


def escape(text):
    return '"' + "".join(f"\\x{b:02X}" for b in text.encode("gbk")) + '"'


HEADER = "// Generated by tools/gen_fixed_texts.py; edit the generator, not this file.\n// clang-format off\n"


def write(path, parts):
    target = OUT / path
    target.parent.mkdir(parents=True, exist_ok=True)
    target.write_text("".join(parts), encoding="utf-8")


def write_texts():
    out = [HEADER, "#pragma once\n\n#include <string_view>\n\nnamespace haojian::text {\n\n"]
    out.append("// The system's own texts, as GBK bytes.\n")
    for name, value in TEXTS:
        out.append(f"inline constexpr std::string_view {name} = {escape(value)};  // {value}\n")
    out.append("\n}  // namespace haojian::text\n")
    write(pathlib.Path("core", "text", "fixed_texts.h"), out)


def write_rows():
    cities = city_rows()
    assert len(PROVINCES) == 32 and len(cities) == 385, len(cities)
    codes = [c for c, _ in cities]
    assert codes == sorted(set(codes))
    out = [HEADER, '#include "core/lookup/built_in_code_rows.h"\n\nnamespace haojian {\n\n']
    out.append(f"const std::array<CodeRow, {len(PROVINCES)}> kBuiltInProvinceRows = {{{{\n")
    for i, name in enumerate(PROVINCES, start=1):
        out.append(f'    {{"{i:02d}", {escape(name)}}},  // {name}\n')
    out.append("}};\n\n")
    out.append(f"const std::array<CodeRow, {len(cities)}> kBuiltInCityRows = {{{{\n")
    for code, name in cities:
        out.append(f'    {{"{code}", {escape(name)}}},  // {name}\n')
    out.append("}};\n\n}  // namespace haojian\n")
    write(pathlib.Path("core", "lookup", "built_in_code_rows.cpp"), out)


if __name__ == "__main__":
    write_texts()
    write_rows()

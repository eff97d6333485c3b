#pragma once

#include "core/text/gbk.h"

namespace haojian {

// The platform's GBK code page: ICU's converter on Linux, code page 936 on Windows. Fills
// raw.single[0x80..0xFF] and raw.pair[lead << 8 | trail] (lead 0x81-0xFE, trail 0x40-0xFE) with
// the one code unit each decodes to, 0 where the code page has none or gives more than one
// unit. Platform code; the rules that keep decoding one to one are gbk.cpp's.
void ReadGbkCodePage(GbkDecoding& raw);

}  // namespace haojian

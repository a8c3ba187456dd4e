// The dialog font used when the package's wording is Chinese (LANGUAGE = 0): the
// parameters of the CreateFontA call, kept apart from the window code that makes it.
#pragma once
#include "platform/WinTypes.h"

namespace cfg {

// GB2312_CHARSET (134), FF_SWISS | DEFAULT_PITCH (32), face name "宋体" in GBK.
constexpr plat::FontParameters kChineseUiFont = {13, 0, 0, 0, 400, false, false, false, 134, 0, 0, 0, 32,
                                           "\xCB\xCE\xCC\xE5"};

}  // namespace cfg

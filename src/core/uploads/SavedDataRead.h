#pragma once
#include <cstdint>
#include <optional>
#include <string>

namespace hb {

class Form1;

// LoadDataFromHardDrive, with a file that vanished or is locked (the game
// may be writing it) reported through `error` instead of thrown.
std::optional<std::string> TryLoadSavedData(Form1& form, std::int16_t index, std::wstring& error);

}  // namespace hb

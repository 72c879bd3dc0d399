// The choices that both the menus and the Options window offer, in their order, with the
// menus' mnemonics (the Options window's lists leave them out).
#pragma once
#include <algorithm>
#include <iterator>
#include <string>
#include <vector>

#include "app/Settings.h"

namespace view {

inline const std::vector<std::wstring> kQualityChoices{L"&Standard", L"&High"};
inline const std::vector<std::wstring> kIfExistsChoices{L"&Replace it", L"&Keep both", L"&Skip the file"};
// What a DVD batch makes, in the order of disc::Disc.
inline const std::vector<std::wstring> kDiscChoices{L"&Files", L"&DVD-Video disc"};
// Each file's sound, and a disc's bars, in the order of encode::Loudness and encode::Fill.
inline const std::vector<std::wstring> kLoudnessChoices{L"As it is", L"Evened out"};
inline const std::vector<std::wstring> kFillChoices{L"Black bars", L"Blurred picture"};
inline const std::vector<std::wstring> kDiscMenuChoices{L"Titles", L"None"};
inline const std::vector<std::wstring> kWhenBatchEndsChoices{L"Do &nothing", L"&Sleep", L"Shut &down", L"&Open the output folder"};
// The fixed sizes a batch is fitted to; "Other size", a number of megabytes, comes after them.
inline constexpr encode::FitSize kFitSizes[] = {encode::FitSize::None, encode::FitSize::Cd, encode::FitSize::Dvd,
                                                 encode::FitSize::DvdDual};
inline const std::vector<std::wstring> kFitChoices{L"&No limit", L"&CD (700 MB)", L"&DVD (4.7 GB)", L"DVD dual &layer (8.5 GB)"};
inline constexpr int kFitOther = static_cast<int>(std::size(kFitSizes));

// A size's place among the choices: one of the fixed sizes, else kFitOther.
inline int FitChoice(const encode::FitTo& fit)
{
    return static_cast<int>(std::find(std::begin(kFitSizes), std::end(kFitSizes), fit.size) - std::begin(kFitSizes));
}

// What one of the fixed sizes sets.
inline encode::FitTo FixedFit(int choice)
{
    return encode::DiscFit(kFitSizes[choice]);
}

// A choice's text as a list shows it, without its mnemonic.
inline std::wstring WithoutMnemonic(std::wstring text)
{
    text.erase(std::remove(text.begin(), text.end(), L'&'), text.end());
    return text;
}

}  // namespace view

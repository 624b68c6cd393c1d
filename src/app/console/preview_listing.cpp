#include "app/console/preview_listing.h"

#include <algorithm>
#include <sstream>

#include "platform/vosselutils/text.h"
#include "report/manifest.h"

namespace {

std::wstring sizeText(const DeliveredEntry& entry)
{
    return entry.sizeKnown ? std::to_wstring(entry.size) + L" bytes" : L"made by the run";
}

std::wstring padded(const std::wstring& text, size_t width)
{
    return text.size() >= width ? text : text + std::wstring(width - text.size(), L' ');
}

} // namespace

std::wstring previewListing(const ReportContents& contents, const std::wstring& outputPath)
{
    std::vector<std::wstring> names;
    size_t nameWidth = 0;
    size_t sizeWidth = 0;
    for (const auto& entry : contents.entries) {
        names.push_back(vosselutils::toWideString(entry.name));
        nameWidth = std::max(nameWidth, names.back().size());
        sizeWidth = std::max(sizeWidth, sizeText(entry).size());
    }
    std::wostringstream text;
    text << L"A report made now would hold " << contents.entries.size() << L" entries, in this order"
         << L" (nothing was collected, written, dumped or deleted):\r\n";
    for (size_t i = 0; i < contents.entries.size(); ++i) {
        const DeliveredEntry& entry = contents.entries[i];
        std::wstring number = std::to_wstring(i + 1);
        text << std::wstring(number.size() < 4 ? 4 - number.size() : 0, L' ') << number << L"  "
             << padded(names[i], nameWidth) << L"  " << padded(sizeText(entry), sizeWidth) << L"  "
             << padded(vosselutils::toWideString(treatmentText(entry.origin.treatment)), 17) << L"  "
             << sourceText(entry.origin) << L"\r\n";
    }
    if (contents.leftOut.empty()) {
        text << L"Nothing would be left out.\r\n";
    } else {
        text << L"It would leave out " << contents.leftOut.size() << L":\r\n";
        for (const auto& left : contents.leftOut) {
            text << L"  " << left.path << L": " << leftOutReasonText(left.reason) << L"\r\n";
        }
    }
    text << L"The report would go to " << outputPath << L"\r\n";
    return text.str();
}

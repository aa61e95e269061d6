// libFuzzer target: any UTF-16 text through the parser and the builder, its
// ASCII form through the byte path too, and any bytes through the
// command-line tool's line scan and its UTF-8 and JSON writers.
#include "BuildPlayerAddress.h"
#include "ParsePageAddress.h"
#include "SiteConstants.h"
#include "Utf8.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

void Require(bool holds)
{
    if (!holds)
        std::abort();
}

void CheckBuild(std::u16string_view code)
{
    const vidlatch::BuildOutcome built = vidlatch::BuildPlayerAddress(code);
    using Kind = vidlatch::BuildOutcomeKind;
    Require((built.kind == Kind::CodeMissing) == code.empty());
    Require((built.kind == Kind::AddressReady) == (code.size() == vidlatch::VideoCodeLength));
    if (built.kind == Kind::AddressReady)
        Require(built.address == std::u16string(vidlatch::site::PlayerAddressPrefix) + std::u16string(code));
}

void CheckParse(std::u16string_view address, bool rejectEmpty)
{
    using vidlatch::ParseOutcome;
    const vidlatch::ParseResult result = vidlatch::ParsePageAddress(address, rejectEmpty);
    Require(result.outcome == ParseOutcome::CodeTaken || result.code.empty());
    Require(result.code.size() <= 16);
    if (result.outcome != ParseOutcome::AddressMissing && result.outcome != ParseOutcome::PageWrong)
        Require(address.find(vidlatch::site::PageHostPrefix) != std::u16string_view::npos);
    if (address.empty())
        Require(result.outcome == (rejectEmpty ? ParseOutcome::AddressMissing : ParseOutcome::PageWrong));
    Require(!result.notice().text.empty());
    CheckBuild(result.code);
}

// The byte path must give what the UTF-16 path gives for every ASCII text;
// bytes outside ASCII take it as one unit each, as vidlatch-cli never does.
void CheckBytePathAgrees(std::u16string_view address, bool rejectEmpty)
{
    std::string bytes;
    for (char16_t unit : address)
        bytes.push_back(static_cast<char>(unit & 0x7F));
    const std::u16string ascii(bytes.begin(), bytes.end());
    const vidlatch::ParseResult expected = vidlatch::ParsePageAddress(ascii, rejectEmpty);
    static std::string code, address8;  // reused, as vidlatch-cli reuses them
    Require(vidlatch::ParsePageAddress<char>(bytes, rejectEmpty, code) == expected.outcome);
    Require(std::u16string(code.begin(), code.end()) == expected.code);
    const vidlatch::BuildOutcome built = vidlatch::BuildPlayerAddress(expected.code);
    Require(vidlatch::BuildPlayerAddress<char>(code, address8) == built.kind);
    Require(std::u16string(address8.begin(), address8.end()) == built.address);

    std::string json;
    vidlatch::cli::AppendJsonString(bytes, json);
    std::string jsonOfUnits;
    vidlatch::cli::AppendJsonString(ascii, jsonOfUnits);
    Require(json == jsonOfUnits);
}

// The block-at-a-time scan must find what a byte-at-a-time look finds.
void CheckUtf8(std::string_view bytes)
{
    const vidlatch::cli::LineScan scan = vidlatch::cli::ScanLine(bytes);
    Require(scan.ascii ==
            std::all_of(bytes.begin(), bytes.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; }));
    const auto control = std::find_if(bytes.begin(), bytes.end(), [](char c) {
        return static_cast<unsigned char>(c) < 0x20 || c == 0x7F;
    });
    Require(scan.control == (control == bytes.end() ? std::string_view::npos
                                                    : static_cast<std::size_t>(control - bytes.begin())));
    std::u16string text;
    if (vidlatch::cli::DecodeUtf8(bytes, text)) {
        std::string again;
        vidlatch::cli::AppendUtf8(text, again);
        Require(again == bytes);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    const bool rejectEmpty = data[0] & 1;
    const bool withPrefix = data[0] & 2;  // lets the fuzzer reach past the prefix test
    std::u16string address;
    if (withPrefix)
        address.assign(vidlatch::site::PageHostPrefix);
    for (std::size_t i = 1; i + 1 < size; i += 2)
        address.push_back(static_cast<char16_t>(data[i] | (data[i + 1] << 8)));
    CheckParse(address, rejectEmpty);
    CheckBytePathAgrees(address, rejectEmpty);

    const std::string_view bytes(reinterpret_cast<const char*>(data + 1), size - 1);
    CheckUtf8(bytes);
    std::string json;
    vidlatch::cli::AppendJsonString(address, json);
    std::u16string decoded;
    Require(vidlatch::cli::DecodeUtf8(json, decoded));
    return 0;
}

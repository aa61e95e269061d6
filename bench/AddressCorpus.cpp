#include "AddressCorpus.h"

#include "SiteConstants.h"

#include <random>

namespace vidlatch::bench {
namespace {

std::u16string RandomCode(std::mt19937& random)
{
    static constexpr char16_t Alphabet[] = u"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_";
    std::uniform_int_distribution<int> pick(0, 63);
    std::u16string code;
    for (int i = 0; i < 11; ++i)
        code.push_back(Alphabet[pick(random)]);
    return code;
}

} // namespace

std::vector<std::u16string> RealisticAddresses(std::size_t count)
{
    std::mt19937 random(20091106);
    std::uniform_int_distribution<int> kind(0, 99);
    const std::u16string host(site::PageHostPrefix);
    std::vector<std::u16string> addresses;
    addresses.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        const int k = kind(random);
        const std::u16string code = RandomCode(random);
        if (k < 60)
            addresses.push_back(host + u"page/W/f/t/" + code + u".html");
        else if (k < 75)
            addresses.push_back(host + u"page/a/" + code.substr(0, 2) + u"/x/" + code + u".html?from=home&pos=3");
        else if (k < 83)
            addresses.push_back(host + u"cover/x/" + code + u".html?vid=" + code);
        else if (k < 88)
            addresses.push_back(host + u"album/2009/" + code + u"/index.html");
        else if (k < 93)
            addresses.push_back(host + u"film/m/" + code + u"ABCD.html");
        else
            addresses.push_back(u"http://blog.vidsite.example/u/" + code + u"/entry-2009.html");
    }
    return addresses;
}

} // namespace vidlatch::bench

// SPDX-License-Identifier: GPL-2.0-or-later
#include "CodePage.h"

#include <cerrno>
#include <iconv.h>
#include <langinfo.h>
#include <locale.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <mutex>
#include <utility>

namespace {

const iconv_t kNoConverter = reinterpret_cast<iconv_t>(-1);
constexpr char16_t kReplacementCharacter = u'\uFFFD';
constexpr char kUnknownCharacter = '?';
constexpr std::size_t kUtf16UnitBytes = 2;
// First guess of output bytes per input byte; the buffer grows when it is not enough.
constexpr std::size_t kOutputPerInput = 2;
constexpr std::size_t kOutputSlack = 16;
constexpr char16_t kFirstHighSurrogate = 0xD800;
constexpr char16_t kLastHighSurrogate = 0xDBFF;
constexpr char16_t kFirstLowSurrogate = 0xDC00;
constexpr char16_t kLastLowSurrogate = 0xDFFF;
// Always known to iconv; used when the configured code page is not.
constexpr const char* kFallbackCodePage = "ISO-8859-1";

#if Q_BYTE_ORDER == Q_LITTLE_ENDIAN
constexpr const char* kWideSide = "UTF-16LE";
#else
constexpr const char* kWideSide = "UTF-16BE";
#endif

struct NameState
{
    std::mutex lock;
    QByteArray overridden;
};

NameState& Names()
{
    static NameState state;
    return state;
}

QByteArray LocaleCodeSet()
{
    // Asks the user's locale without changing the process's own.
    locale_t locale = ::newlocale(LC_CTYPE_MASK, "", static_cast<locale_t>(nullptr));
    if (locale == static_cast<locale_t>(nullptr))
        return QByteArray(::nl_langinfo(CODESET));
    const QByteArray name(::nl_langinfo_l(CODESET, locale));
    ::freelocale(locale);
    return name;
}

// One converter per direction and code page for each thread: an iconv descriptor
// keeps shift state and must not be used by two threads at once.
class ConverterCache
{
public:
    ~ConverterCache()
    {
        for (auto& item : m_converters)
            ::iconv_close(item.second);
    }

    iconv_t Get(const QByteArray& to, const QByteArray& from)
    {
        const auto key = std::make_pair(to, from);
        auto found = m_converters.find(key);
        if (found != m_converters.end()) {
            ::iconv(found->second, nullptr, nullptr, nullptr, nullptr);   // fresh shift state
            return found->second;
        }
        const iconv_t converter = ::iconv_open(to.constData(), from.constData());
        if (converter == kNoConverter)
            return kNoConverter;
        m_converters.emplace(key, converter);
        return converter;
    }

private:
    std::map<std::pair<QByteArray, QByteArray>, iconv_t> m_converters;
};

iconv_t Converter(const QByteArray& to, const QByteArray& from)
{
    thread_local ConverterCache cache;
    return cache.Get(to, from);
}

// The converter between the code page and the wide side, falling back to Latin-1
// when iconv does not know the configured name.
iconv_t CodePageConverter(bool toWide)
{
    const QByteArray name = CodePage::Name();
    iconv_t converter = toWide ? Converter(kWideSide, name) : Converter(name, kWideSide);
    if (converter == kNoConverter)
        converter = toWide ? Converter(kWideSide, kFallbackCodePage) : Converter(kFallbackCodePage, kWideSide);
    return converter;
}

// Runs iconv over the whole input. onInvalid is called for an input sequence the
// converter rejects (EILSEQ, or a sequence cut short at the end with EINVAL); it appends
// its replacement to the output and returns how many input bytes to skip.
template <typename OnInvalid>
QByteArray Convert(iconv_t converter, const char* input, std::size_t length, OnInvalid onInvalid)
{
    QByteArray output;
    output.resize(static_cast<qsizetype>(length * kOutputPerInput + kOutputSlack));
    std::size_t used = 0;
    char* in = const_cast<char*>(input);
    std::size_t inLeft = length;

    auto grow = [&output]() { output.resize(output.size() * 2); };
    bool flushing = false;
    for (;;) {
        char* out = output.data() + used;
        std::size_t outLeft = static_cast<std::size_t>(output.size()) - used;
        const std::size_t result = flushing ? ::iconv(converter, nullptr, nullptr, &out, &outLeft)
                                            : ::iconv(converter, &in, &inLeft, &out, &outLeft);
        used = static_cast<std::size_t>(out - output.data());
        if (result != static_cast<std::size_t>(-1)) {
            if (flushing)
                break;
            flushing = true;   // emit any closing shift sequence
            continue;
        }
        if (errno == E2BIG) {
            grow();
            continue;
        }
        if (flushing)
            break;
        // EILSEQ or EINVAL: replace, skip, and start the next sequence afresh.
        output.resize(static_cast<qsizetype>(used));
        const std::size_t skip = std::min(onInvalid(output, in, inLeft), inLeft);
        used = static_cast<std::size_t>(output.size());
        output.resize(static_cast<qsizetype>(used + inLeft * kOutputPerInput + kOutputSlack));
        in += skip;
        inLeft -= skip;
        ::iconv(converter, nullptr, nullptr, nullptr, nullptr);
    }
    output.resize(static_cast<qsizetype>(used));
    return output;
}

bool IsHighSurrogate(char16_t unit)
{
    return unit >= kFirstHighSurrogate && unit <= kLastHighSurrogate;
}

bool IsLowSurrogate(char16_t unit)
{
    return unit >= kFirstLowSurrogate && unit <= kLastLowSurrogate;
}

}  // namespace

namespace CodePage {

QByteArray Name()
{
    NameState& state = Names();
    {
        std::lock_guard<std::mutex> guard(state.lock);
        if (!state.overridden.isEmpty())
            return state.overridden;
    }
    const QByteArray configured = qgetenv("VELLUMDECK_CODEPAGE");
    if (!configured.isEmpty())
        return configured;
    return LocaleCodeSet();
}

void SetName(const QByteArray& name)
{
    NameState& state = Names();
    std::lock_guard<std::mutex> guard(state.lock);
    state.overridden = name;
}

QString ToUnicode(const QByteArray& bytes)
{
    if (bytes.isEmpty())
        return QString();
    const iconv_t converter = CodePageConverter(true);
    if (converter == kNoConverter)
        return QString::fromLatin1(bytes);
    const QByteArray wide = Convert(converter, bytes.constData(), static_cast<std::size_t>(bytes.size()),
        [](QByteArray& out, const char*, std::size_t) {
            const char16_t unit = kReplacementCharacter;
            out.append(reinterpret_cast<const char*>(&unit), kUtf16UnitBytes);
            return std::size_t{1};
        });
    return QString(reinterpret_cast<const QChar*>(wide.constData()), wide.size() / static_cast<qsizetype>(kUtf16UnitBytes));
}

QByteArray FromUnicode(const QString& text)
{
    if (text.isEmpty())
        return QByteArray();
    const iconv_t converter = CodePageConverter(false);
    if (converter == kNoConverter)
        return text.toLatin1();
    const auto* units = reinterpret_cast<const char*>(text.utf16());
    return Convert(converter, units, static_cast<std::size_t>(text.size()) * kUtf16UnitBytes,
        [](QByteArray& out, const char* at, std::size_t left) {
            out.append(kUnknownCharacter);
            // A whole surrogate pair is one character and becomes one '?'.
            char16_t first = 0;
            char16_t second = 0;
            if (left >= kUtf16UnitBytes)
                std::memcpy(&first, at, kUtf16UnitBytes);
            if (left >= 2 * kUtf16UnitBytes)
                std::memcpy(&second, at + kUtf16UnitBytes, kUtf16UnitBytes);
            const bool pair = IsHighSurrogate(first) && IsLowSurrogate(second);
            return pair ? 2 * kUtf16UnitBytes : kUtf16UnitBytes;
        });
}

}  // namespace CodePage

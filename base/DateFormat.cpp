#include "base/DateFormat.h"

#include "base/Errors.h"

#include <cctype>
#include <optional>

namespace quillet {

namespace {

std::string TwoDigits(int value) {
    return {char('0' + value / 10 % 10), char('0' + value % 10)};
}

// Reads texts the way the program's stored texts are written. Every Read... leaves the
// position past what it took and fails without throwing, so the callers choose the message.
class Scanner {
public:
    explicit Scanner(std::string_view text) : text_(text) {}

    void SkipBlanks() {
        while (pos_ < text_.size() && text_[pos_] == ' ') ++pos_;
    }
    bool AtEnd() const { return pos_ == text_.size(); }
    bool Take(char c) {
        if (pos_ < text_.size() && text_[pos_] == c) return ++pos_, true;
        return false;
    }
    // One to four digits.
    std::optional<int> Number() {
        std::size_t start = pos_;
        int value = 0;
        while (pos_ < text_.size() && pos_ - start < 4 && std::isdigit((unsigned char)text_[pos_]))
            value = value * 10 + (text_[pos_++] - '0');
        if (pos_ == start || (pos_ < text_.size() && std::isdigit((unsigned char)text_[pos_])))
            return std::nullopt;
        return value;
    }
    // "AM" or "PM" in any case: 0 for AM, 12 for PM.
    std::optional<int> Marker() {
        if (text_.size() - pos_ < 2) return std::nullopt;
        const char a = char(std::toupper((unsigned char)text_[pos_]));
        const char m = char(std::toupper((unsigned char)text_[pos_ + 1]));
        if (m != 'M' || (a != 'A' && a != 'P')) return std::nullopt;
        pos_ += 2;
        return a == 'A' ? 0 : 12;
    }

private:
    std::string_view text_;
    std::size_t pos_ = 0;
};

std::optional<TDateTime> ScanDate(Scanner& in) {
    in.SkipBlanks();
    const auto month = in.Number();
    if (!month || !in.Take('/')) return std::nullopt;
    const auto day = in.Number();
    if (!day || !in.Take('/')) return std::nullopt;
    const auto year = in.Number();
    if (!year) return std::nullopt;
    try {
        return EncodeDate(*year, *month, *day);
    } catch (const EConvertError&) {
        return std::nullopt;
    }
}

std::optional<TDateTime> ScanTime(Scanner& in) {
    in.SkipBlanks();
    auto hour = in.Number();
    if (!hour || !in.Take(':')) return std::nullopt;
    const auto minute = in.Number();
    if (!minute) return std::nullopt;
    std::optional<int> second = 0;
    if (in.Take(':') && !(second = in.Number())) return std::nullopt;
    in.SkipBlanks();
    if (const auto marker = in.Marker()) {
        if (*hour == 0 || *hour > 12) return std::nullopt;
        *hour = *hour % 12 + *marker;
    }
    try {
        return EncodeTime(*hour, *minute, *second);
    } catch (const EConvertError&) {
        return std::nullopt;
    }
}

[[noreturn]] void Refuse(std::string_view text, const char* what) {
    throw EConvertError("'" + std::string(text) + "' is not a valid " + what);
}

} // namespace

std::string FormatDate(TDateTime moment) {
    const auto ymd = DecodeDate(moment);
    const int year = int(ymd.year());
    return TwoDigits(int(unsigned(ymd.month()))) + "/" + TwoDigits(int(unsigned(ymd.day()))) + "/" +
           TwoDigits(year / 100) + TwoDigits(year % 100);
}

std::string FormatTime(TDateTime moment) {
    const TimeOfDay t = DecodeTime(moment);
    const int hour12 = t.hour % 12 == 0 ? 12 : t.hour % 12;
    return TwoDigits(hour12) + ":" + TwoDigits(t.minute) + (t.hour < 12 ? " AM" : " PM");
}

std::string FormatMinute(TDateTime moment) {
    return TwoDigits(DecodeTime(moment).minute);
}

std::string FormatAlarm(TDateTime moment) {
    return FormatDate(moment) + " " + FormatTime(moment);
}

void NormalizeAlarmText(std::string& alarm) {
    const std::size_t blank = alarm.find(' ');
    if (blank == std::string::npos) return;
    const std::size_t separator = alarm.find_first_of(".:", blank);
    if (separator != std::string::npos) alarm[separator] = ':';
}

TDateTime StrToDate(std::string_view text) {
    Scanner in(text);
    const auto date = ScanDate(in);
    in.SkipBlanks();
    if (!date || !in.AtEnd()) Refuse(text, "date");
    return *date;
}

TDateTime StrToTime(std::string_view text) {
    Scanner in(text);
    const auto time = ScanTime(in);
    in.SkipBlanks();
    if (!time || !in.AtEnd()) Refuse(text, "time");
    return *time;
}

TDateTime StrToDateTime(std::string_view text) {
    Scanner in(text);
    const auto date = ScanDate(in);
    if (!date) Refuse(text, "date and time");
    in.SkipBlanks();
    if (in.AtEnd()) return *date;
    const auto time = ScanTime(in);
    in.SkipBlanks();
    if (!time || !in.AtEnd()) Refuse(text, "date and time");
    return ComposeDateTime(*date, *time);
}

} // namespace quillet

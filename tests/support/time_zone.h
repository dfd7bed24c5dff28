#pragma once

#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>

namespace tolvane::testing {

#ifndef _WIN32
// The C library's TZ rules; Windows takes its zone from the system alone.

// Central European time: +1 in winter, +2 in summer; needs no tz database.
inline constexpr const char* kCentralEurope = "CET-1CEST,M3.5.0,M10.5.0/3";

// Sets TZ while it lives and puts the old value back.
class ZoneScope {
  public:
    explicit ZoneScope(const char* zone) {
        if (const char* old = std::getenv("TZ")) {
            old_ = old;
        }
        ::setenv("TZ", zone, 1);
        ::tzset();
    }
    ~ZoneScope() {
        if (old_) {
            ::setenv("TZ", old_->c_str(), 1);
        } else {
            ::unsetenv("TZ");
        }
        ::tzset();
    }
    ZoneScope(const ZoneScope&) = delete;
    ZoneScope& operator=(const ZoneScope&) = delete;

  private:
    std::optional<std::string> old_;
};

#endif

// Seconds since the epoch of a UTC date-time.
inline std::int64_t utcSeconds(int y, int mo, int d, int h, int mi, int s) {
    std::tm t{};
    t.tm_year = y - 1900;
    t.tm_mon = mo - 1;
    t.tm_mday = d;
    t.tm_hour = h;
    t.tm_min = mi;
    t.tm_sec = s;
#ifdef _WIN32
    return static_cast<std::int64_t>(::_mkgmtime(&t));
#else
    return static_cast<std::int64_t>(::timegm(&t));
#endif
}

} // namespace tolvane::testing

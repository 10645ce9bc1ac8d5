// Comment removal.
//
// The literal algorithm (for each entry: text = alleErsetzen(text, entry, "")) costs entries x
// page size. Removal here works on the original text with a map of the still-present intervals.
// Facts it relies on, all following from how the scan collects: an entry starts with an opening,
// ends with its only "-->", holds no other opening (of its kind), and so never overlaps itself;
// every copy of an entry in the original is itself a collected match unless its "-->" lies too
// near the end to be visited. New copies can only appear across a point where text was removed
// (a join), and at most one comment-shaped string spans a given join; each join is checked once.
#include "engine/kommentare.h"

#include <algorithm>
#include <map>
#include <optional>
#include <unordered_map>
#include <unordered_set>

#include "engine/suche.h"
#include "engine/utf8.h"

namespace quintaro {

std::vector<std::string_view> kommentareSuchen(std::string_view text, KommentarArt art) {
    // Jumps from token to token instead of testing every position: between a pending opening and
    // its closing only the next opening and the next closing can change the state.
    std::vector<std::string_view> matches;
    const std::size_t n = art.oeffnung.size();
    const std::size_t len = text.size();
    if (len < n) return matches;
    const std::size_t last = len - n;  // the last position the scan visits
    const auto openingFrom = [&](std::size_t from) {
        for (;;) {
            const std::size_t p = suche::finde(text, from, art.oeffnung);
            if (p == std::string_view::npos) return p;
            if (!(art.ssiAusschliessen && p + n < len && text[p + n] == '#')) return p;
            from = p + 1;
        }
    };
    std::size_t opening = openingFrom(0);
    while (opening != std::string_view::npos) {
        std::size_t start = opening;
        // A closing can never start where an opening does, so it lies behind the start.
        const std::size_t closing = suche::finde(text, start + 1, "-->");
        if (closing == std::string_view::npos || closing > last) break;
        // A later opening before the closing replaces the pending one.
        for (opening = openingFrom(start + 1); opening < closing;
             opening = openingFrom(start + 1)) {
            start = opening;
        }
        // `opening` is now the first one behind the closing, where the next comment starts.
        matches.push_back(text.substr(start, closing + 3 - start));
    }
    return matches;
}

std::string kommentarFrageText(std::string_view eintrag, Kodierung kodierung) {
    constexpr std::size_t kZeichen = 30;
    std::string shown;
    bool gekuerzt = eintrag.size() > kZeichen;
    if (kodierung == Kodierung::Utf8) {
        shown = utf8::anzeigbar(eintrag, kZeichen, &gekuerzt);
    } else {
        shown = cp1252NachUtf8(eintrag.substr(0, kZeichen));
    }
    if (gekuerzt) shown += "...";
    return "Sollen folgender Kommentar entfernt werden?\r\n\r\n" + shown;
}

namespace {

class Remover {
  public:
    Remover(std::string_view orig, KommentarArt art) : orig_(orig), art_(art) {
        if (!orig.empty()) alive_.emplace(0, orig.size());
    }

    void addEntries(const std::vector<std::string_view>& matches) {
        entries_.reserve(matches.size());
        perMatch_.reserve(matches.size());
        position_.reserve(matches.size());
        nextSame_.assign(matches.size(), kKeine);
        for (std::size_t i = 0; i < matches.size(); ++i) {
            auto& info = entries_[matches[i]];
            perMatch_.push_back(&info);
            position_.push_back(static_cast<std::size_t>(matches[i].data() - orig_.data()));
            if (info.first == kKeine) {
                info.first = i;
            } else {
                nextSame_[info.last] = i;
            }
            info.last = i;
            maxLen_ = std::max(maxLen_, matches[i].size());
        }
        registerTailCopies();
    }

    // Removes every copy of match number `i`, `entry`, in the current text (one replace-all).
    void remove(std::size_t i, std::string_view entry) {
        Entry& info = *perMatch_[i];
        // Places that may hold a copy; each is checked just before it goes. Copies never overlap,
        // so taking out one leaves every other as it was before this replace-all.
        std::vector<std::size_t> starts;
        if (!info.originalsConsumed) {
            for (std::size_t j = info.first; j != kKeine; j = nextSame_[j]) {
                starts.push_back(position_[j]);  // in text order already
            }
            info.originalsConsumed = true;
        }
        if (!info.candidates.empty()) {
            starts.insert(starts.end(), info.candidates.begin(), info.candidates.end());
            info.candidates.clear();
            std::sort(starts.begin(), starts.end());
            starts.erase(std::unique(starts.begin(), starts.end()), starts.end());
        }
        std::vector<std::optional<std::size_t>> joins;
        joins.reserve(starts.size());
        for (std::size_t pos : starts) {
            const auto it = intervalAt(pos);
            if (it == alive_.end()) continue;
            const bool copy = pos + entry.size() <= it->second  // untouched since the start
                                  ? orig_.compare(pos, entry.size(), entry) == 0
                                  : startsWith(Cursor{it, pos}, entry);
            if (copy) joins.push_back(erase(it, pos, entry.size()));
        }
        for (const auto& j : joins) registerJoin(j);
    }

    Text text() const {
        Text out;
        text(out);
        return out;
    }
    void text(Text& out) const {
        std::size_t size = 0;
        for (const auto& [b, e] : alive_) size += e - b;
        out.clear();
        out.reserve(size);
        for (const auto& [b, e] : alive_) out.append(orig_.substr(b, e - b));
    }

  private:
    using Map = std::map<std::size_t, std::size_t>;  // begin -> end of a present interval
    static constexpr std::size_t kKeine = static_cast<std::size_t>(-1);

    struct Entry {
        std::size_t first = kKeine;  // the first and the last match with this text
        std::size_t last = kKeine;
        std::vector<std::size_t> candidates;  // copies found across joins or near the end
        bool originalsConsumed = false;
    };

    // A position in the current text; `it == alive_.end()` is the end.
    struct Cursor {
        Map::const_iterator it;
        std::size_t p = 0;
    };

    Map::const_iterator intervalOf(std::size_t p) const {
        auto it = alive_.upper_bound(p);
        if (it == alive_.begin()) return alive_.end();
        --it;
        return p < it->second ? it : alive_.end();
    }

    Map::iterator intervalAt(std::size_t p) {
        auto it = alive_.upper_bound(p);
        if (it == alive_.begin()) return alive_.end();
        --it;
        return p < it->second ? it : alive_.end();
    }

    std::optional<Cursor> cursorAt(std::size_t p) const {
        auto it = intervalOf(p);
        if (it == alive_.end()) return std::nullopt;
        return Cursor{it, p};
    }
    Cursor endCursor() const { return Cursor{alive_.end(), orig_.size()}; }
    bool atEnd(const Cursor& c) const { return c.it == alive_.end(); }
    char at(const Cursor& c) const { return orig_[c.p]; }
    void next(Cursor& c) const {
        if (++c.p == c.it->second) {
            if (++c.it != alive_.end()) c.p = c.it->first;
        }
    }
    // Returns false at the beginning of the text.
    bool prev(Cursor& c) const {
        if (c.it != alive_.end() && c.p > c.it->first) {
            --c.p;
            return true;
        }
        if (c.it == alive_.begin()) return false;
        --c.it;
        c.p = c.it->second - 1;
        return true;
    }
    bool startsWith(Cursor c, std::string_view s) const {
        for (char ch : s) {
            if (atEnd(c) || at(c) != ch) return false;
            next(c);
        }
        return true;
    }
    bool openingAt(const Cursor& c) const {
        Cursor k = c;
        for (char ch : art_.oeffnung) {
            if (atEnd(k) || at(k) != ch) return false;
            next(k);
        }
        return !(art_.ssiAusschliessen && !atEnd(k) && at(k) == '#');
    }

    // Removes `len` present characters from `pos` on, `it` being the interval holding `pos`;
    // returns the original position of the first present character behind them (nothing at the
    // end of the text). Nodes are reused where they can be, to spare the allocator.
    std::optional<std::size_t> erase(Map::iterator it, std::size_t pos, std::size_t len) {
        std::size_t p = pos;
        while (len > 0) {
            const std::size_t b = it->first;
            const std::size_t e = it->second;
            const std::size_t take = std::min(len, e - p);
            len -= take;
            if (b < p) {
                it->second = p;  // the part in front stays in this node
                it = p + take < e ? alive_.emplace_hint(std::next(it), p + take, e) : std::next(it);
            } else if (p + take < e) {
                const auto next = std::next(it);
                auto node = alive_.extract(it);
                node.key() = p + take;
                it = alive_.insert(next, std::move(node));
            } else {
                it = alive_.erase(it);
            }
            if (len > 0) p = it->first;
        }
        if (it == alive_.end()) return std::nullopt;
        return it->first;
    }

    // The first present character at or behind `p`.
    Cursor cursorAtOrAfter(std::size_t p) const {
        if (auto c = cursorAt(p)) return *c;
        auto it = alive_.upper_bound(p);
        return it == alive_.end() ? endCursor() : Cursor{it, it->first};
    }

    // The first "-->" at or behind `c`, starting at most `limit` characters on. Each interval is
    // searched as plain bytes; only a closing that reaches into the next interval needs the cursor.
    std::optional<Cursor> closingFrom(Cursor c, std::size_t limit) const {
        std::size_t steps = 0;  // characters passed before c
        while (!atEnd(c)) {
            const std::size_t end = c.it->second;
            const std::size_t avail = end - c.p;
            const std::size_t window = std::min(avail, limit - steps + 3);
            const std::size_t pos = suche::finde(orig_.substr(c.p, window), 0, "-->");
            if (pos != std::string_view::npos) {
                if (steps + pos > limit) return std::nullopt;
                return Cursor{c.it, c.p + pos};
            }
            for (std::size_t q = avail > 2 ? end - 2 : c.p; q < end; ++q) {
                if (steps + (q - c.p) > limit) return std::nullopt;
                if (startsWith(Cursor{c.it, q}, "-->")) return Cursor{c.it, q};
            }
            steps += avail;
            if (steps > limit) return std::nullopt;
            if (++c.it == alive_.end()) return std::nullopt;
            c.p = c.it->first;
        }
        return std::nullopt;
    }

    // The nearest opening in front of `closing`, at most `limit` characters back, with no other
    // "-->" between; bytes inside an interval are read directly.
    std::optional<Cursor> openingBefore(const Cursor& closing, std::size_t limit) const {
        const std::size_t n = art_.oeffnung.size();
        auto it = closing.it;
        std::size_t q = closing.p;
        std::size_t steps = 0;
        for (;;) {
            const std::size_t b = it->first;
            const std::size_t e = it->second;
            while (q > b) {
                --q;
                if (++steps > limit) return std::nullopt;
                const char ch = orig_[q];
                if (ch == '-') {
                    const bool schliesst = q + 3 <= e ? orig_.compare(q, 3, "-->") == 0
                                                      : startsWith(Cursor{it, q}, "-->");
                    if (schliesst) return std::nullopt;
                } else if (ch == '<') {
                    const bool oeffnet = q + n < e
                                             ? orig_.compare(q, n, art_.oeffnung) == 0 &&
                                                   !(art_.ssiAusschliessen && orig_[q + n] == '#')
                                             : openingAt(Cursor{it, q});
                    if (oeffnet) return Cursor{it, q};
                }
            }
            if (it == alive_.begin()) return std::nullopt;
            --it;
            q = it->second;
        }
    }

    // Finds the one comment-shaped string that may span the join in front of `after` and keeps it
    // when it is a copy of an entry.
    void registerJoin(const std::optional<std::size_t>& after) {
        if (alive_.empty() || maxLen_ == 0) return;
        Cursor join = after ? cursorAtOrAfter(*after) : endCursor();
        Cursor c = join;
        for (int k = 0; k < 2; ++k) {
            if (!prev(c)) break;
        }
        const auto closingFound = closingFrom(c, maxLen_);
        if (!closingFound) return;
        const Cursor closing = *closingFound;
        const auto openingFound = openingBefore(closing, maxLen_);
        if (!openingFound) return;
        const Cursor a = *openingFound;
        if (!atEnd(join) && a.p >= join.p) return;  // does not span the join
        std::string copy;
        Cursor k = a;
        for (;;) {
            copy.push_back(at(k));
            if (copy.size() > maxLen_) return;
            if (k.p == closing.p) break;
            next(k);
        }
        next(k);
        copy.push_back(at(k));
        next(k);
        copy.push_back(at(k));
        auto found = entries_.find(copy);
        if (found != entries_.end()) found->second.candidates.push_back(a.p);
    }

    // Copies in the original whose "-->" lies too near the end for the scan to visit it.
    void registerTailCopies() {
        const std::size_t len = orig_.size();
        const std::size_t n = art_.oeffnung.size();
        if (len < 3 || maxLen_ == 0) return;
        const std::size_t firstUnvisited = len >= n ? len - n + 1 : 0;
        for (std::size_t p = firstUnvisited; p + 3 <= len; ++p) {
            if (orig_.compare(p, 3, "-->") != 0) continue;
            // The nearest opening in front of it, with no other "-->" between.
            for (std::size_t a = p; a-- > 0;) {
                if (p + 3 - a > maxLen_) break;
                if (orig_.compare(a, 3, "-->") == 0) break;
                if (orig_[a] == '<' && orig_.compare(a, n, art_.oeffnung) == 0 &&
                    !(art_.ssiAusschliessen && a + n < len && orig_[a + n] == '#')) {
                    auto found = entries_.find(orig_.substr(a, p + 3 - a));
                    if (found != entries_.end()) found->second.candidates.push_back(a);
                    break;
                }
            }
        }
    }

    std::string_view orig_;
    KommentarArt art_;
    Map alive_;
    std::unordered_map<std::string_view, Entry> entries_;  // nodes stay put, so pointers hold
    std::vector<Entry*> perMatch_;                         // the entry of each match, in order
    std::vector<std::size_t> position_;  // where each match stands in the original
    std::vector<std::size_t> nextSame_;  // the next match with the same text, or kKeine
    std::size_t maxLen_ = 0;
};

}  // namespace

KommentarLauf kommentareEntfernen(std::string_view text, KommentarArt art, Text& aus,
                                  const KommentarFrage& frage) {
    const auto matches = kommentareSuchen(text, art);
    if (matches.empty()) return KommentarLauf::Unveraendert;
    Remover remover(text, art);
    remover.addEntries(matches);
    const std::function<Text()> current = [&remover] { return remover.text(); };
    KommentarLauf lauf = KommentarLauf::Fertig;
    for (std::size_t i = 0; i < matches.size(); ++i) {
        Antwort answer = Antwort::Ja;
        if (frage) answer = frage(matches[i], current);
        if (answer == Antwort::Abbrechen) {
            lauf = KommentarLauf::Abgebrochen;
            break;
        }
        if (answer == Antwort::Ja) remover.remove(i, matches[i]);
    }
    remover.text(aus);
    return lauf;
}

KommentarErgebnis kommentareEntfernen(Text text, KommentarArt art, const KommentarFrage& frage) {
    Text aus;
    const KommentarLauf lauf = kommentareEntfernen(text, art, aus, frage);
    if (lauf == KommentarLauf::Unveraendert) return {std::move(text), false};
    return {std::move(aus), lauf == KommentarLauf::Abgebrochen};
}

}  // namespace quintaro

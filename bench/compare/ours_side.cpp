// Our side: every operation of the comparison through the engine's own interface.
#include "bench/compare/ours_side.h"

#include <cstdio>
#include <vector>

#include "bench/engine/bench_data.h"
#include "bench/gen/questionnaire.h"
#include "engine/kw_create.h"
#include "engine/kw_search.h"

namespace zbq::bench {
namespace {

// Interfaces still being built are used only once they exist, so the comparison builds
// throughout and reports an operation "not yet" until its engine part lands.
template <typename S>
concept HasStatistics = requires(S& s, double* d) {
    s.KWgetStatistics(0, d, d, d);
};
template <typename S>
concept HasMolap = requires(S& s, typename S::MolapValue& v) {
    s.KWexecuteMolap({}, {}, {}, {}, 0, 0);
    s.KWMolapGetData(0, 0, 0, v);
    s.MolapDrill();
};

constexpr const char* kSearch1 = "#1=1";
constexpr const char* kSearch3 = "#14>=40*#15<60.5+#12=3";

// Z columns of the aggregations: record count, sum of scores, youngest and oldest age.
const std::vector<std::int32_t> kZItems = {kScore, kScore, kAge, kAge};
const std::vector<std::int32_t> kZKinds = {0, 1, 4, 3};

}  // namespace

struct OursSide::State {
    std::string source, dataFile;
    KW_search search;
    bool loaded = false;
    KW_mapPtr a, b;
    std::int32_t last = 0;  // the count an operation returned
    // Aggregation: the axes of the last build and the cell the drill goes into.
    std::vector<std::int32_t> x, y;
    std::int32_t drillX = -1, drillY = -1;

    // The canonical text of dictionary position p of an item.
    std::string key(std::int32_t item, std::int32_t p) const {
        if (p == KW_POS_ERROR) return std::string(kError);
        if (p == KW_POS_BLANK) return std::string(kBlank);
        const KW_dict& e = search.dictionary(item)[static_cast<std::size_t>(p)];
        switch (search.KWgetItem(item)->type) {
            case KW_TYPE_INTEGER:
            case KW_TYPE_DATE:
            case KW_TYPE_TIME:
                return fmt(std::int64_t{e.high});
            case KW_TYPE_FLOAT:
                return fmt(e.asDouble());
            default:
                return search.ValueText(item, p);
        }
    }

    void counts(Answer& out) const {
        out.row() << "records" << search.KWgetDataCount();
        for (std::int32_t i = 0; i < search.KWgetItemCount(); ++i) {
            const auto dict = search.dictionary(i);
            for (std::size_t p = 0; p < dict.size(); ++p)
                if (dict[p].mapCount > 0)
                    out.row() << i << key(i, static_cast<std::int32_t>(p)) << dict[p].mapCount;
        }
    }

    void recountAll() {
        for (std::int32_t i = 0; i < search.KWgetItemCount(); ++i)
            benchmarkSink += search.dictionary(i).size();
    }
    std::size_t benchmarkSink = 0;

    KW_mapPtr select(std::int32_t item, auto pass) {
        const auto dict = search.dictionary(item);
        std::vector<char> passes(dict.size());
        for (std::size_t p = 0; p < dict.size(); ++p)
            passes[p] = pass(static_cast<std::int32_t>(p), dict[p]);
        auto map = std::make_shared<KW_map>(search.KWgetRecordCount());
        const auto values = search.values(item);
        for (std::int32_t r = 0; r < search.KWgetRecordCount(); ++r)
            if (passes[static_cast<std::size_t>(values[static_cast<std::size_t>(r)])]) map->set(r);
        return map;
    }

    bool cross(std::string_view op) {
        if (op == "cross_count" || op == "cross_sum" || op == "cross_pct") {
            search.ResetCrossX();
            search.ResetCrossY();
            if (op == "cross_count")
                return search.ExecuteCross(kAge, kPrefecture, kScore, 0, 0) == 0;
            if (op == "cross_sum") return search.ExecuteCross(kAge, kPrefecture, kScore, 3, 0) == 0;
            return search.ExecuteCross(kOccupation, kPrefecture, kAge, 7, 50) == 0;
        }
        // Age classes of ten years, and regions as ranges of prefecture codes.
        if (search.InitCrossX(kAge, 0, 11) != 0) return false;
        search.AddCrossXInt("age<20", 2, 20, 0);
        for (int a = 20; a < 100; a += 10)
            search.AddCrossXInt("age" + std::to_string(a), 6, a, a + 9);
        search.AddCrossXInt("age100+", 1, 100, 0);
        search.AddCrossXInt("other", 13, 0, 0);
        if (search.InitCrossY(kPrefecture, 0, 11) != 0) return false;
        const char* regions[][3] = {
            {"hokkaido", "01", "01"}, {"tohoku", "02", "07"}, {"kanto", "08", "14"},
            {"chubu", "15", "23"},    {"kinki", "24", "30"},  {"chugoku", "31", "35"},
            {"shikoku", "36", "39"},  {"kyushu", "40", "47"}, {"abroad", "99", "99"}};
        for (const auto& r : regions)
            search.AddCrossYString(r[0], 6, r[1], r[2]);
        search.AddCrossYString("blank", 12, "", "");
        search.AddCrossYString("error", 11, "", "");
        return search.BuildCrossX() == 0 && search.BuildCrossY() == 0 &&
               search.ExecuteCross(kAge, kPrefecture, kScore, 0, 0) == 0;
    }

    void crossAnswer(std::string_view op, Answer& out) const {
        const bool condition = op == "cross_cond";
        const std::int32_t xItem = op == "cross_pct" ? kOccupation : kAge;
        for (std::int32_t x = 0; x < search.GetCrossXCount(); ++x) {
            for (std::int32_t y = 0; y < search.GetCrossYCount(); ++y) {
                if (search.GetCrossCellFlag(x, y) != 0) continue;
                out.row();
                if (condition) {
                    out << search.GetCrossXLabel(x) << search.GetCrossYLabel(y);
                } else {
                    out << key(xItem, x) << key(kPrefecture, y);
                }
                if (op == "cross_pct") {
                    // Kind 7 of an Integer Z item: the value itself.
                    out << static_cast<std::int64_t>(search.GetCrossValue(x, y));
                    continue;
                }
                out << search.GetCrossCount(x, y);
                if (op == "cross_sum") out << search.GetCrossValue(x, y);
            }
        }
    }

    template <typename S = KW_search>
    bool molap(std::string_view op) {
        if constexpr (HasMolap<S>) {
            S& s = search;
            if (op == "molap_2x2") {
                x = {kPrefecture, kGender};
                y = {kOccupation, kSatisfaction};
            } else {
                x = {kGender, kMarried, kChildren, kHousing, kCar};
                y = {kSmoking, kDrinking, kExercise, kSatisfaction, kAnswerDate};
            }
            // The answer date grouped by half year (code 6).
            std::vector<std::int32_t> none(x.size(), 0), ygroups(y.size(), 0);
            if (y.back() == kAnswerDate) ygroups.back() = 6;
            s.ResetMolapX();
            s.ResetMolapY();
            s.ResetMolapZ();
            return s.SetMolapX(x, none) == 0 && s.SetMolapY(y, ygroups) == 0 &&
                   s.SetMolapZ(kZItems, std::vector<std::int32_t>(kZItems.size(), 0)) == 0 &&
                   s.KWexecuteMolap(x, y, kZItems, kZKinds, 2, 2) == 0;
        } else {
            return false;
        }
    }

    // The canonical key component of a label, "(total)" for a total level.
    template <typename S = KW_search>
    std::string label(bool xAxis, std::int32_t index, std::int32_t level) const {
        if constexpr (HasMolap<S>) {
            const S& s = search;
            typename S::MolapValue v;
            const std::int32_t column = index * static_cast<std::int32_t>(kZItems.size());
            const std::int32_t rc =
                xAxis ? s.GetMolapXLabel(column, level, v) : s.GetMolapYLabel(index, level, v);
            if (rc == 1) return std::string(kTotal);
            const std::int32_t item = (xAxis ? x : y)[static_cast<std::size_t>(level)];
            if (v.position == KW_POS_BLANK) return std::string(kBlank);
            if (v.position == KW_POS_ERROR) return std::string(kError);
            switch (v.kind) {
                case S::MolapValue::Integer:
                    return fmt(std::int64_t{v.integer});
                case S::MolapValue::Double:
                    return fmt(v.number);
                default:
                    return search.ValueText(item, v.position);
            }
        } else {
            return {};
        }
    }

    template <typename S = KW_search>
    void molapAnswer(Answer& out) const {
        if constexpr (HasMolap<S>) {
            const S& s = search;
            const std::int32_t nx = s.GetMolapXCount(), ny = s.GetMolapYCount();
            std::vector<std::vector<std::string>> xKeys(static_cast<std::size_t>(nx));
            for (std::int32_t i = 0; i < nx; ++i)
                for (std::size_t l = 0; l < x.size(); ++l)
                    xKeys[i].push_back(label(true, i, static_cast<std::int32_t>(l)));
            for (std::int32_t j = 0; j < ny; ++j) {
                std::vector<std::string> yKey;
                for (std::size_t l = 0; l < y.size(); ++l)
                    yKey.push_back(label(false, j, static_cast<std::int32_t>(l)));
                for (std::int32_t i = 0; i < nx; ++i) {
                    typename S::MolapValue count, sum, lo, hi;
                    s.KWMolapGetData(i, j, 0, count);
                    if (count.kind != S::MolapValue::Integer || count.integer == 0) continue;
                    s.KWMolapGetData(i, j, 1, sum);
                    s.KWMolapGetData(i, j, 2, lo);
                    s.KWMolapGetData(i, j, 3, hi);
                    out.row();
                    for (const std::string& k : xKeys[static_cast<std::size_t>(i)])
                        out << k;
                    for (const std::string& k : yKey)
                        out << k;
                    out << count.integer << sum.number;
                    for (const auto* e : {&lo, &hi}) {
                        if (e->kind == S::MolapValue::Integer) {
                            out << e->integer;
                        } else {
                            out << "-";
                        }
                    }
                }
            }
        }
    }

    // The key indexes of the drill's cell: X (Tokyo, men), Y (office workers, satisfied).
    template <typename S = KW_search>
    bool findDrillCell() {
        if constexpr (HasMolap<S>) {
            drillX = drillY = -1;
            for (std::int32_t i = 0; i < search.GetMolapXCount() && drillX < 0; ++i)
                if (label(true, i, 0) == "13" && label(true, i, 1) == "1") drillX = i;
            for (std::int32_t j = 0; j < search.GetMolapYCount() && drillY < 0; ++j)
                if (label(false, j, 0) == "1" && label(false, j, 1) == "1") drillY = j;
            return drillX >= 0 && drillY >= 0;
        } else {
            return false;
        }
    }

    template <typename S = KW_search>
    bool drill() {
        if constexpr (HasMolap<S>) {
            S& s = search;
            if (s.MolapDrillX(drillX, 0) != 0 || s.MolapDrillX(drillX, 1) != 0 ||
                s.MolapDrillY(drillY, 0) != 0 || s.MolapDrillY(drillY, 1) != 0) {
                return false;
            }
            last = s.MolapDrill();
            return last >= 0;
        } else {
            return false;
        }
    }

    template <typename S = KW_search>
    bool statistics(Answer* out) {
        if constexpr (HasStatistics<S>) {
            for (std::int32_t item : {kAge, kScore}) {
                double sum = 0, mean = 0, sd = 0;
                if (search.KWgetStatistics(item, &sum, &mean, &sd) < 0) return false;
                if (out != nullptr) {
                    out->row() << item << "sum" << sum;
                    out->row() << item << "mean" << mean;
                    out->row() << item << "sd" << sd;
                }
            }
            return true;
        } else {
            return false;
        }
    }
};

OursSide::OursSide(std::string source, std::string workDir) : s_(std::make_unique<State>()) {
    s_->source = std::move(source);
    s_->dataFile = std::move(workDir) + "/ours.zbq";
}

OursSide::~OursSide() = default;

bool OursSide::has(std::string_view op) const {
    if (op == "stats") return HasStatistics<KW_search>;
    if (op.starts_with("molap") || op == "drill") return HasMolap<KW_search>;
    return true;
}

bool OursSide::setup(std::string_view op) {
    State& s = *s_;
    if (op == "build") return true;
    if (op == "open") {
        s.search.KWclose();
        s.loaded = false;
        return true;
    }
    if (!s.loaded) {
        if (const std::int32_t rc = s.search.KWopen(s.dataFile, ""); rc != 0) {
            error_ = "KWopen: " + std::to_string(rc);
            return false;
        }
        s.loaded = true;
    }
    if (!s.a) {
        // The stored sets: A = men, B = aged 40 or more.
        s.a = s.select(kGender, [&](std::int32_t p, const KW_dict&) {
            return p >= KW_POS_FIRST_VALUE &&
                   std::string_view(s.search.ValueText(kGender, p)) == "1";
        });
        s.b = s.select(kAge, [](std::int32_t p, const KW_dict& e) {
            return p >= KW_POS_FIRST_VALUE && e.high >= 40;
        });
    }
    if (op == "recount" || op == "stats") return s.search.KWmapSet(s.a) >= 0;
    s.search.KWmapClear();
    if (op == "drill") return s.molap("molap_2x2") && s.findDrillCell();
    return true;
}

bool OursSide::run(std::string_view op) {
    State& s = *s_;
    if (op == "build") {
        QuietHost host;
        KW_create create;
        create.SetOwner(&host);
        describe(create);
        const std::int32_t rc = create.KWcreate(s.source, s.dataFile, '\t', 1);
        if (rc != 0) error_ = "KWcreate: " + std::to_string(rc);
        return rc == 0;
    }
    if (op == "open") {
        s.loaded = s.search.KWopen(s.dataFile, "") == 0;
        s.a = s.b = nullptr;
        return s.loaded;
    }
    if (op == "search1" || op == "search3") {
        s.last = s.search.KWsrch(op == "search1" ? kSearch1 : kSearch3);
        s.recountAll();
        return s.last >= 0;
    }
    if (op == "set_product") return (s.last = s.search.KWmapProduct(s.a, s.b)) >= 0;
    if (op == "set_union") return (s.last = s.search.KWmapUnion(s.a, s.b)) >= 0;
    if (op == "set_difference") return (s.last = s.search.KWmapDifference(s.a, s.b)) >= 0;
    if (op == "set_complement") return (s.last = s.search.KWmapComplement(s.a)) >= 0;
    if (op == "recount") {
        s.search.KWmapSet(s.a);
        s.recountAll();
        return true;
    }
    if (op == "stats") return s.statistics(nullptr);
    if (op.starts_with("cross")) return s.cross(op);
    if (op.starts_with("molap")) return s.molap(op);
    if (op == "drill") return s.drill();
    return false;
}

bool OursSide::answer(std::string_view op, Answer& out) {
    State& s = *s_;
    out.clear();
    if (op == "build") {
        KW_search built;
        if (built.KWopen(s.dataFile, "") != 0) return false;
        out.row() << "records" << built.KWgetRecordCount();
        for (std::int32_t i = 0; i < built.KWgetItemCount(); ++i) {
            const auto dict = built.dictionary(i);
            std::int64_t distinct = 0;
            for (std::size_t p = KW_POS_FIRST_VALUE; p < dict.size(); ++p)
                if (dict[p].count > 0) ++distinct;
            out.row() << i << "values" << built.KWgetItem(i)->listLength;
            out.row() << i << "errors" << dict[KW_POS_ERROR].count;
            out.row() << i << "blanks" << dict[KW_POS_BLANK].count;
            out.row() << i << "distinct" << distinct;
        }
        return true;
    }
    if (op == "open") {
        out.row() << "records" << s.search.KWgetRecordCount();
        return true;
    }
    if (op == "search1" || op == "search3" || op == "recount") {
        s.counts(out);
        return true;
    }
    if (op.starts_with("set_") || op == "drill") {
        out.row() << "records" << s.last;
        return true;
    }
    if (op == "stats") return s.statistics(&out);
    if (op.starts_with("cross")) {
        s.crossAnswer(op, out);
        return true;
    }
    if (op.starts_with("molap")) {
        s.molapAnswer(out);
        return true;
    }
    return false;
}

}  // namespace zbq::bench

// The application the windows' benchmarks measure: the shared generated questionnaire opened
// from its definition file and data file, as start-up loads a data set, with no window shown.
// A benchmark without its data measures nothing, so a failure aborts.
#pragma once

#include <cstdlib>
#include <memory>
#include <string>

#include "app/ckw_app.h"
#include "bench/engine/bench_data.h"
#include "bench/gen/questionnaire.h"

namespace zbq::bench {

// `name` names the definition file written beside the data ("<name>.def").
inline std::unique_ptr<CKWApp> openLoadedApp(const std::string& name) {
    const BenchData& d = benchData();
    const std::string def = d.dir + "/" + name + ".def";
    if (writeDefinition(def) != 0) std::abort();
    auto app = std::make_unique<CKWApp>();
    app->SetLoadMode(1);
    app->SetDefinitionPath(def);
    if (!app->ReadDefinitionFile() || !app->ParseDefinitionFile()) std::abort();
    if (app->Search().KWopen(d.dataFile, "") != 0) std::abort();
    app->SetDataLoaded(1);
    return app;
}

}  // namespace zbq::bench

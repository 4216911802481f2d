#include <gtest/gtest.h>

#include <sstream>

#include "Batch.h"
#include "platform/Errors.h"

using ombrix::runBatch;

namespace {
struct BatchRun {
    int status;
    std::string out;
    std::string err;
};

BatchRun batch(const std::vector<std::string>& args) {
    std::ostringstream out;
    std::ostringstream err;
    const int status = runBatch(args, out, err, [](const ombrix::Picture&, const std::string&) {});
    return {status, out.str(), err.str()};
}
}  // namespace

TEST(Batch, GuardMessageGoesToStandardErrorWithStatusOne) {
    const BatchRun r = batch({"view-elec-use"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "Ombrix: Must open energy file to view this graph.\n");
    EXPECT_EQ(r.out, "");
}

TEST(Batch, AllWordsRunAfterAFailure) {
    const BatchRun r =
        batch({"view-elec-use", "view-temperatures", "view-elec-use-vs-temperature"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err,
              "Ombrix: Must open energy file to view this graph.\n"
              "Ombrix: Must open weather file to view this graph.\n"
              "Ombrix: Must open both energy and weather files to view this graph.\n");
}

TEST(Batch, UsageErrorsExitWithTwoAndRunNothing) {
    for (const auto& args : std::vector<std::vector<std::string>>{
             {},
             {"no-such-word"},
             {"view-elec-use", "open-energy"},
             {"click", "10"},
             {"click", "10", "abc"},
             {"view-elec-use", "save-graph"},
         }) {
        const BatchRun r = batch(args);
        EXPECT_EQ(r.status, 2);
        EXPECT_NE(r.err.find("usage: ombrix-batch WORD [ARG] ..."), std::string::npos);
        EXPECT_EQ(r.err.find("Must open"), std::string::npos);  // nothing ran
        EXPECT_EQ(r.out, "");
    }
}

TEST(Batch, SaveGraphFailureIsAnErrorBox) {
    std::ostringstream out;
    std::ostringstream err;
    const int status = runBatch(
        {"save-graph", "x.bmp"}, out, err, [](const ombrix::Picture&, const std::string& path) {
            throw ombrix::OmbrixError("Graph files are .svg or .png: " + path);
        });
    EXPECT_EQ(status, 1);
    EXPECT_EQ(err.str(), "Error: \"Graph files are .svg or .png: x.bmp\"\n");
}

// Times a header click on every column of a results list of ROWS rows (100,000 by default),
// the way the window sorts: from a shuffled order, then the same column again (descending).
// Usage: vsr-sort-bench [ROWS] [RUNS]; prints the median milliseconds per column and fails
// (exit status 1) when a sort takes 50 ms or more. The time is the thread's CPU time, which a
// machine busy with other work does not inflate as it does the wall clock.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <random>
#include <string>
#include <vector>

#include "results/result_list.h"
#include "results/row_sort.h"

namespace {

using namespace vsr::results;

// Rows like a listing of a source tree: names repeat across folders, sizes and times spread.
ResultList makeList(std::size_t rows, std::mt19937& random) {
    static const char* const kExtensions[] = {".c", ".h", ".txt", ".S", ".rst", ".py", ".Makefile", ""};
    ResultList list;
    list.createResultColumn();
    for (std::size_t i = 0; i < rows; ++i) {
        ResultItem r;
        const unsigned stem = random() % 20000;
        r.name = (stem % 3 ? "file_" : "Driver_") + std::to_string(stem) + kExtensions[random() % 8];
        r.path = "/src/tree/dir" + std::to_string(random() % 3000) + "/sub" + std::to_string(random() % 7);
        const std::int64_t count = random() % 500;
        r.found = std::to_string(count);
        r.firstCount = count;
        r.bytes = random() % 5000000;
        r.size = std::to_string(*r.bytes / 1000) + ".0 KB";
        r.lastWrite = vsr::platform::FileTime{} + std::chrono::seconds(1600000000 + random() % 100000000);
        r.time = "2026-01-01 10:00:00";
        r.attributes = random() % 10 ? "" : "R";
        r.type = std::string(kExtensions[random() % 8]) + " File";
        list.AddResultItem(std::move(r));
    }
    return list;
}

double cpuMilliseconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

double millisecondsOf(ResultList& list, int position) {
    const double start = cpuMilliseconds();
    SortByColumn(list, position);
    return cpuMilliseconds() - start;
}

}  // namespace

int main(int argc, char** argv) {
    const std::size_t rows = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 100000;
    const int runs = argc > 2 ? std::atoi(argv[2]) : 5;
    std::mt19937 random(7);
    ResultList list = makeList(rows, random);
    const std::vector<Column> columns = list.columns();
    std::printf("%zu rows, median of %d runs, CPU milliseconds\n%-12s %12s %12s\n", rows, runs, "column", "ascending",
                "descending");
    bool slow = false;
    for (std::size_t position = 0; position < columns.size(); ++position) {
        std::vector<double> up, down;
        for (int run = 0; run < runs; ++run) {
            // A shuffled start, so no column profits from the order the previous one left.
            std::vector<std::size_t> order(list.count());
            for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
            std::shuffle(order.begin(), order.end(), random);
            list.reorder(order);
            list.sortDescending.fill(false);
            up.push_back(millisecondsOf(list, static_cast<int>(position)));
            down.push_back(millisecondsOf(list, static_cast<int>(position)));
        }
        std::sort(up.begin(), up.end());
        std::sort(down.begin(), down.end());
        const double a = up[up.size() / 2], d = down[down.size() / 2];
        std::printf("%-12s %12.1f %12.1f\n", list.columnCaption(columns[position]).c_str(), a, d);
        slow = slow || a >= 50 || d >= 50;
    }
    if (slow) std::printf("target missed: a sort took 50 ms or more\n");
    return slow ? 1 : 0;
}

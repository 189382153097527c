// Minting the leaf certificate of a new host with the terminal's CA, against one bare ECDSA P-256
// signature of as many bytes (the part of the work no implementation can skip), in the same run.
// Prints both medians and their ratio; the aim is at most 5 ms for a new host.

#include <benchmark/benchmark.h>
#include <openssl/evp.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "bench/helpers/median_reporter.h"
#include "proxy/tls/certificate_fields.h"
#include "proxy/tls/leaf_certificates.h"
#include "proxy/tls/terminal_ca.h"

namespace {

const kiosk::TerminalCa& Ca() {
    static const kiosk::TerminalCa ca = kiosk::TerminalCa::Create();
    return ca;
}

void BM_MintLeafForANewHost(benchmark::State& state) {
    kiosk::LeafCertificates leaves(Ca());
    long host = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(leaves.ForHost("host" + std::to_string(++host) + ".example"));
}

void BM_BareSignature(benchmark::State& state) {
    const kiosk::PkeyPtr key = kiosk::NewP256Key();
    const std::vector<unsigned char> bytes(600, 'x');  // about a leaf's signed part
    std::vector<unsigned char> signature(128);
    for (auto _ : state) {
        EVP_MD_CTX* context = EVP_MD_CTX_new();
        size_t length = signature.size();
        EVP_DigestSignInit(context, nullptr, EVP_sha256(), nullptr, key.get());
        EVP_DigestSign(context, signature.data(), &length, bytes.data(), bytes.size());
        EVP_MD_CTX_free(context);
        benchmark::DoNotOptimize(length);
    }
}

BENCHMARK(BM_MintLeafForANewHost)->Unit(benchmark::kMicrosecond)->Repetitions(9)->ReportAggregatesOnly();
BENCHMARK(BM_BareSignature)->Unit(benchmark::kMicrosecond)->Repetitions(9)->ReportAggregatesOnly();

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    kiosk::bench::MedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const auto& medians = reporter.medians();
    if (medians.count("BM_MintLeafForANewHost") && medians.count("BM_BareSignature")) {
        const double mint = medians.at("BM_MintLeafForANewHost"), sign = medians.at("BM_BareSignature");
        std::printf(
            "median leaf for a new host %.0f us (aim: at most 5000 us), bare signature %.0f us, ratio %.1f\n",
            mint, sign, mint / sign);
    }
    benchmark::Shutdown();
    return 0;
}

// Unpacking speed beside the common unpackers (bsdtar, 7-Zip, unzip), run in turns: one 50 MB
// deflated entry, a set of 320 small ones, and one 2 GB entry (streamed) with the memory it
// costs and the time of ISA-L's inflate alone; the two legacy decoders on copies of sample
// entries against unzip's test mode. "--2gb" runs only the 2 GB entry, "--small" only the
// small entries.

#include <isa-l/igzip_lib.h>
#include <libdeflate.h>
#include <zlib.h>

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtEndian>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <vector>

#include "BenchSupport.h"
#include "games/ImplodeDecoder.h"
#include "games/ShrinkDecoder.h"
#include "games/ZipArchive.h"
#include "games/ZipFile.h"
#include "games/ZipReader.h"

namespace {

const QString kSamples = QString::fromStdString(
    (std::filesystem::path(__FILE__).parent_path().parent_path() / "tests/data/zip/").string());

void Add16(QByteArray& b, uint16_t v) {
  char le[2];
  qToLittleEndian(v, le);
  b.append(le, 2);
}

void Add32(QByteArray& b, uint32_t v) {
  char le[4];
  qToLittleEndian(v, le);
  b.append(le, 4);
}

struct Packed {
  uint16_t method = 0;
  uint16_t flags = 0;
  uint32_t crc = 0;
  uint32_t size = 0;
  QByteArray data;
};

// An archive of the packed entries, named in order.
QByteArray Archive(const std::vector<Packed>& entries) {
  QByteArray body, central;
  const int copies = static_cast<int>(entries.size());
  for (int i = 0; i < copies; ++i) {
    const Packed& p = entries[static_cast<size_t>(i)];
    const QByteArray name = "e" + QByteArray::number(i).rightJustified(5, '0') + ".bin";
    const uint32_t offset = static_cast<uint32_t>(body.size());
    for (QByteArray* b : {&body, &central}) {
      const bool local = b == &body;
      Add32(*b, local ? 0x04034b50 : 0x02014b50);
      if (!local) Add16(*b, 20);
      Add16(*b, 20);
      Add16(*b, p.flags);
      Add16(*b, p.method);
      Add16(*b, 0);
      Add16(*b, (44 << 9) | (1 << 5) | 1);
      Add32(*b, p.crc);
      Add32(*b, static_cast<uint32_t>(p.data.size()));
      Add32(*b, p.size);
      Add16(*b, static_cast<uint16_t>(name.size()));
      Add16(*b, 0);
      if (!local) {
        for (int k = 0; k < 3; ++k) Add16(*b, 0);
        Add32(*b, 0);
        Add32(*b, offset);
      }
      *b += name;
      if (local) *b += p.data;
    }
  }
  QByteArray end;
  Add32(end, 0x06054b50);
  Add32(end, 0);
  Add16(end, static_cast<uint16_t>(copies));
  Add16(end, static_cast<uint16_t>(copies));
  Add32(end, static_cast<uint32_t>(central.size()));
  Add32(end, static_cast<uint32_t>(body.size()));
  Add16(end, 0);
  return body + central + end;
}

// An archive holding `copies` copies of one packed entry under different names.
QByteArray Archive(const Packed& p, int copies) {
  return Archive(std::vector<Packed>(static_cast<size_t>(copies), p));
}

// The first entry of a sample archive, still packed.
Packed Sample(const QString& file) {
  Packed p;
  const rix::ZipFile zipFile(kSamples + file);
  rix::ZipArchive zip(zipFile);
  rix::ZipCentralEntry c;
  rix::ZipLocalEntry l;
  QByteArray data;
  if (!zip.Open() || !zip.Next(&c) || zip.Local(c, &l) != rix::ZipArchive::LocalStatus::Ok ||
      (data.resize(static_cast<qsizetype>(l.compressedSize)),
       !zipFile.Read(l.dataOffset, data.data(), data.size()))) {
    std::fprintf(stderr, "cannot read %s\n", qPrintable(file));
    std::exit(1);
  }
  p = {l.method, l.flags, l.crc, static_cast<uint32_t>(l.uncompressedSize), data};
  return p;
}

bool Write(const QString& path, const QByteArray& bytes) {
  QFile f(path);
  return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

void Tool(const QString& program, const QStringList& args) {
  QProcess p;
  p.start(program, args);
  if (!p.waitForFinished(600000) || p.exitCode() != 0)
    std::fprintf(stderr, "%s failed\n", qPrintable(program));
}

// Runs of unpacking `archive` by us and by the common unpackers (bsdtar, 7-Zip, unzip), in
// turns so that all meet the same machine, each into a fresh directory removed outside the
// timed part: only the unpacking is measured, its output left in the page cache as the
// others' is. The measure's line holds the medians against bsdtar (`extra` before the ratio);
// one line each against 7-Zip and unzip follows, a comment names the fastest and one lists
// every run. `stage`, when given, is timed in the same turns and its median set beside
// bsdtar's on one more.
struct Stage {
  const char* name;
  std::function<void()> run;
};

struct Peer {
  const char* name;
  QString program;
  std::function<QStringList(const QString& archive, const QString& dir)> args;
};

const std::vector<Peer>& Peers() {
  static const std::vector<Peer> peers = {
      {"bsdtar", "bsdtar",
       [](const QString& a, const QString& d) {
         return QStringList{"-xf", a, "-C", d};
       }},
      {"7zz", "7zz",
       [](const QString& a, const QString& d) {
         return QStringList{"x", "-y", "-bso0", "-bsp0", "-o" + d, a};
       }},
      {"unzip", "unzip",
       [](const QString& a, const QString& d) {
         return QStringList{"-o", "-q", a, "-d", d};
       }},
  };
  return peers;
}

void CompareWithPeers(QTemporaryDir& tmp, const char* measure, int runs,
                      const std::function<void(const QString&)>& ours, const QString& archive,
                      const std::function<QString()>& extra = {}, const Stage& stage = {}) {
  static int run = 0;
  std::vector<const Peer*> peers;
  for (const Peer& p : Peers())
    if (!QStandardPaths::findExecutable(p.program).isEmpty()) peers.push_back(&p);
  std::vector<double> oursTimes, stageTimes;
  std::vector<std::vector<double>> peerTimes(peers.size());
  auto once = [&](const std::function<void(const QString&)>& unpack) {
    const QString dir = tmp.filePath("cmp" + QString::number(++run) + "/");
    QDir().mkpath(dir);
    const double t0 = rixbench::NowSeconds();
    unpack(dir);
    const double seconds = rixbench::NowSeconds() - t0;
    QDir(dir).removeRecursively();
    return seconds;
  };
  for (int i = 0; i < runs; ++i) {
    oursTimes.push_back(once(ours));
    for (size_t k = 0; k < peers.size(); ++k)
      peerTimes[k].push_back(
          once([&](const QString& dir) { Tool(peers[k]->program, peers[k]->args(archive, dir)); }));
    if (stage.run) stageTimes.push_back(once([&](const QString&) { stage.run(); }));
  }
  const double o = rixbench::Median(oursTimes);
  std::string runsText;
  for (int i = 0; i < runs; ++i) {
    runsText += QString::asprintf("%s%.1f", i ? " " : "", oursTimes[i] * 1e3).toStdString();
    for (size_t k = 0; k < peers.size(); ++k)
      runsText += QString::asprintf("/%.1f", peerTimes[k][i] * 1e3).toStdString();
  }
  std::string names = "ours";
  const Peer* fastest = nullptr;
  double fastestTime = 0;
  double bsdtar = 0;
  for (size_t k = 0; k < peers.size(); ++k) {
    const double p = rixbench::Median(peerTimes[k]);
    names += std::string("/") + peers[k]->name;
    if (!fastest || p < fastestTime) fastest = peers[k], fastestTime = p;
    if (k == 0 && peers[k]->program == "bsdtar") {
      bsdtar = p;
      std::printf("%s ours_ms=%.1f bsdtar_ms=%.1f %sratio=%.3f\n", measure, o * 1e3, p * 1e3,
                  extra ? qPrintable(extra() + " ") : "", o / p);
    } else {
      std::printf("%s_vs_%s ours_ms=%.1f %s_ms=%.1f ratio=%.3f\n", measure, peers[k]->name, o * 1e3,
                  peers[k]->name, p * 1e3, o / p);
    }
  }
  if (fastest)
    std::printf("# %s fastest common unpacker: %s, median %.1f ms\n", measure, fastest->name,
                fastestTime * 1e3);
  std::printf("# %s medians of %d runs in turns; %s ms: %s\n", measure, runs, names.c_str(),
              runsText.c_str());
  if (stage.run && bsdtar > 0) {
    const double st = rixbench::Median(stageTimes);
    std::printf("# %s %s alone: median %.1f ms = %.3f x bsdtar's whole run\n", measure, stage.name,
                st * 1e3, st / bsdtar);
  }
  std::fflush(stdout);
}

QByteArray Text(size_t size) {
  static const char* words[] = {"rom",     "bios",   "sprite", "palette", "mapper", "cartridge",
                                "channel", "vblank", "opcode", "bank",    "tile",   "scroll",
                                "layer",   "zoom",   "irq",    "dma",     "timer",  "sound"};
  QByteArray out;
  out.reserve(static_cast<qsizetype>(size));
  uint64_t x = 88172645463325252ull;
  while (static_cast<size_t>(out.size()) < size) {
    x ^= x << 13;
    x ^= x >> 7;
    x ^= x << 17;
    out += words[x % 18];
    out += (x >> 8) % 11 == 0 ? '\n' : ' ';
    if ((x >> 16) % 5 == 0) out += QByteArray::number(static_cast<qulonglong>(x >> 40) % 100000);
  }
  out.truncate(static_cast<qsizetype>(size));
  return out;
}

// `text` deflated by libdeflate at its default level, as an entry.
Packed Deflated(const QByteArray& text) {
  Packed p;
  p.method = 8;
  p.size = static_cast<uint32_t>(text.size());
  p.crc = libdeflate_crc32(0, text.constData(), text.size());
  libdeflate_compressor* c = libdeflate_alloc_compressor(6);
  p.data.resize(static_cast<qsizetype>(libdeflate_deflate_compress_bound(c, text.size())));
  p.data.resize(static_cast<qsizetype>(
      libdeflate_deflate_compress(c, text.constData(), text.size(), p.data.data(), p.data.size())));
  libdeflate_free_compressor(c);
  return p;
}

// A set of small files, as most games are: 320 deflated entries of 2 KB to 512 KB, 44 MB in
// all, each its own text.
void SmallEntries(QTemporaryDir& tmp) {
  const QByteArray text = Text(size_t(8) << 20);
  std::vector<Packed> entries;
  for (int i = 0; i < 320; ++i) {
    const qsizetype size = qsizetype(2048) << (2 * (i % 5));
    entries.push_back(Deflated(text.mid((qsizetype(i) * 7919 * 64) % (text.size() - size), size)));
  }
  const QString archive = tmp.filePath("small.zip");
  Write(archive, Archive(entries));
  CompareWithPeers(
      tmp, "zip_inflate_small", 5,
      [&](const QString& dir) {
        if (rix::ZipExtractMatching(archive, dir, "") != 320)
          std::fprintf(stderr, "unpack failed\n");
      },
      archive);
}

// Decoding and checking every entry of an archive of `copies` copies of one sample entry,
// beside `unzip -t` (which decodes and checks without writing) on the same archive.
template <typename F>
void Legacy(QTemporaryDir& tmp, const char* measure, const Packed& p, F decode) {
  const int copies = 300;
  const QString archive = tmp.filePath(QString(measure) + ".zip");
  Write(archive, Archive(p, copies));
  std::vector<uint8_t> out(p.size);
  const double ours = rixbench::BestSeconds(5, [&] {
    const rix::ZipFile file(archive);
    rix::ZipArchive zip(file);
    rix::ZipCentralEntry c;
    rix::ZipLocalEntry l;
    std::vector<uint8_t> in;
    int good = 0;
    for (bool ok = zip.Open(); ok && zip.Next(&c);) {
      ok = zip.Local(c, &l) == rix::ZipArchive::LocalStatus::Ok &&
           (in.resize(l.compressedSize), file.Read(l.dataOffset, in.data(), in.size())) &&
           decode(in.data(), in.size(), out.data()) &&
           libdeflate_crc32(0, out.data(), out.size()) == l.crc;
      good += ok;
    }
    if (good != copies) std::fprintf(stderr, "%s: %d entries decoded\n", measure, good);
  });
  const double unzip = rixbench::BestSeconds(5, [&] { Tool("unzip", {"-t", "-q", archive}); });
  std::printf("%s mb_s=%.1f ours_ms=%.3f unzip_ms=%.3f ratio=%.3f\n", measure,
              double(p.size) * copies / ours / 1e6, ours * 1e3, unzip * 1e3, ours / unzip);
  std::fflush(stdout);
}

// An archive of one deflated entry of `copies` times `piece`, written as it is made. The
// deflate stream repeats one fully flushed packing of the piece (which refers to nothing
// before it) and ends with an empty final block, so gigabytes cost one compression.
bool WriteRepeatedArchive(const QString& path, const QByteArray& piece, int copies) {
  z_stream zs = {};
  if (deflateInit2(&zs, 6, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) != Z_OK) return false;
  QByteArray packed(static_cast<qsizetype>(deflateBound(&zs, piece.size())) + 64, '\0');
  zs.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(piece.constData()));
  zs.avail_in = static_cast<uInt>(piece.size());
  zs.next_out = reinterpret_cast<Bytef*>(packed.data());
  zs.avail_out = static_cast<uInt>(packed.size());
  const bool ok = deflate(&zs, Z_FULL_FLUSH) == Z_OK && zs.avail_in == 0;
  packed.truncate(packed.size() - zs.avail_out);
  deflateEnd(&zs);
  if (!ok) return false;
  uint32_t crc = 0;
  for (int i = 0; i < copies; ++i) crc = libdeflate_crc32(crc, piece.constData(), piece.size());
  const QByteArray end("\x03\x00", 2);
  const uint32_t csize = static_cast<uint32_t>(packed.size() * copies + end.size());
  const uint32_t usize = static_cast<uint32_t>(piece.size() * copies);
  const QByteArray name = "disc.iso";
  QByteArray local, central;
  for (QByteArray* b : {&local, &central}) {
    const bool isLocal = b == &local;
    Add32(*b, isLocal ? 0x04034b50 : 0x02014b50);
    if (!isLocal) Add16(*b, 20);
    for (uint16_t v : {20, 0, 8, 0, (44 << 9) | (1 << 5) | 1}) Add16(*b, v);
    Add32(*b, crc);
    Add32(*b, csize);
    Add32(*b, usize);
    Add16(*b, static_cast<uint16_t>(name.size()));
    Add16(*b, 0);
    if (!isLocal) {
      for (int k = 0; k < 3; ++k) Add16(*b, 0);
      Add32(*b, 0);
      Add32(*b, 0);
    }
    *b += name;
  }
  const uint32_t centralAt = static_cast<uint32_t>(local.size()) + csize;
  QByteArray tail = central;
  Add32(tail, 0x06054b50);
  Add32(tail, 0);
  Add16(tail, 1);
  Add16(tail, 1);
  Add32(tail, static_cast<uint32_t>(central.size()));
  Add32(tail, centralAt);
  Add16(tail, 0);
  QFile f(path);
  if (!f.open(QIODevice::WriteOnly) || f.write(local) != local.size()) return false;
  for (int i = 0; i < copies; ++i)
    if (f.write(packed) != packed.size()) return false;
  return f.write(end) == end.size() && f.write(tail) == tail.size();
}

// ISA-L's streaming inflate of an archive's first entry alone, with the CRC-32 it computes in
// the same pass, into one reused piece: no write. The least that unpacking a large entry
// costs with it.
bool InflateAlone(const QString& archive) {
  const rix::ZipFile file(archive);
  rix::ZipArchive zip(file);
  rix::ZipCentralEntry c;
  rix::ZipLocalEntry l;
  if (!zip.Open() || !zip.Next(&c) || zip.Local(c, &l) != rix::ZipArchive::LocalStatus::Ok)
    return false;
  std::vector<uint8_t> in(256 << 10), out(256 << 10);
  auto s = std::make_unique<inflate_state>();
  isal_inflate_init(s.get());
  s->crc_flag = ISAL_GZIP_NO_HDR;
  uint64_t at = l.dataOffset, left = l.compressedSize, produced = 0;
  while (s->block_state != ISAL_BLOCK_FINISH) {
    if (s->avail_in == 0 && left > 0) {
      const size_t n = static_cast<size_t>(std::min<uint64_t>(in.size(), left));
      if (!file.Read(at, in.data(), n)) return false;
      at += n;
      left -= n;
      s->next_in = in.data();
      s->avail_in = static_cast<uint32_t>(n);
    }
    s->next_out = out.data();
    s->avail_out = static_cast<uint32_t>(out.size());
    const uint32_t before = s->avail_in;
    if (isal_inflate(s.get()) < 0) return false;
    const size_t got = out.size() - s->avail_out;
    if (got == 0 && s->avail_in == before && s->block_state != ISAL_BLOCK_FINISH) return false;
    produced += got;
  }
  return produced == l.uncompressedSize && s->crc == l.crc;
}

// Unpacking a 2 GB entry: time beside bsdtar, and the peak memory it costs.
void Inflate2Gb(QTemporaryDir& tmp) {
  const QString archive = tmp.filePath("disc.zip");
  const int copies = qEnvironmentVariableIsSet("RIX_BENCH_COPIES")
                         ? qEnvironmentVariableIntValue("RIX_BENCH_COPIES")
                         : 32;  // of 64 MB
  if (!WriteRepeatedArchive(archive, Text(64u << 20), copies)) {
    std::fprintf(stderr, "cannot write the 2 GB archive\n");
    return;
  }
  long long grew = 0;
  CompareWithPeers(
      tmp, "zip_inflate_2gb", 5,
      [&](const QString& dir) {
        rixbench::ResetPeak();
        const long long before = rixbench::PeakBytes();
        if (rix::ZipExtractMatching(archive, dir, "") != 1) std::fprintf(stderr, "unpack failed\n");
        grew = std::max(grew, rixbench::PeakBytes() - before);
      },
      archive, [&] { return QString::asprintf("peak_growth_mb=%.1f", grew / 1048576.0); },
      {"ISA-L inflate", [&] {
         if (!InflateAlone(archive)) std::fprintf(stderr, "inflate alone failed\n");
       }});
  QFile::remove(archive);
}

}  // namespace

int main(int argc, char** argv) {
  const bool only2Gb = argc > 1 && std::strcmp(argv[1], "--2gb") == 0;
  const bool onlySmall = argc > 1 && std::strcmp(argv[1], "--small") == 0;
  // Under the system's temporary directory, removed at the end.
  QTemporaryDir tmp;
  if (!tmp.isValid()) return 1;
  if (only2Gb || onlySmall) {
    only2Gb ? Inflate2Gb(tmp) : SmallEntries(tmp);
    return 0;
  }

  // 50 MB of word salad: compressible, but not trivially.
  const QByteArray text = Text(50u << 20);
  const Packed big = Deflated(text);
  const QString archive = tmp.filePath("big.zip");
  Write(archive, Archive(big, 1));

  CompareWithPeers(
      tmp, "zip_inflate_50mb", 5,
      [&](const QString& dir) {
        if (rix::ZipExtractMatching(archive, dir, "") != 1) std::fprintf(stderr, "unpack failed\n");
      },
      archive);
  SmallEntries(tmp);

  const Packed shrunk = Sample("shrink-clear-13bit.zip");
  rix::ShrinkDecoder shrink;
  Legacy(tmp, "shrink_mb_s", shrunk, [&](const uint8_t* in, size_t n, uint8_t* out) {
    return shrink.Decode(in, n, out, shrunk.size);
  });
  const Packed imploded = Sample("cc-imploding-8Kdict-3trees.zip");
  rix::ImplodeDecoder implode;
  Legacy(tmp, "implode_mb_s", imploded, [&](const uint8_t* in, size_t n, uint8_t* out) {
    return implode.Decode(in, n, out, imploded.size, imploded.flags & 2, imploded.flags & 4);
  });
  Inflate2Gb(tmp);
  return 0;
}

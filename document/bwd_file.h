// The .bwd document file: a flat little-endian stream in the framework archive's encoding
// (no header, no version), written byte for byte as the Windows program wrote it.
//
// Reading never trusts the file: it parses into a separate document, checks every count
// and string length against its bounds and the bytes left, and only a fully read file
// replaces the open document. Saving writes a temporary file beside the target, syncs it and
// renames it over the target, so a failed save leaves the old file as it was.
//
// Strings are Windows-1252 in the file and UTF-8 in memory. The five bytes 1252 leaves
// undefined (81 8D 8F 90 9D) map to the C1 controls U+0081... and back, so every byte
// survives a load and save; characters with no 1252 code are written as '?'.
//
// Nothing here throws; every operation returns a status whose message is one line naming
// the file and the problem.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "document/titration.h"

struct BwdStatus {
  bool ok = true;
  std::string message;  // empty when ok; else "<file>: <problem>"
};

// A document read from a file but not yet in place.
struct BwdLoad {
  BwdStatus status;
  std::unique_ptr<Titration> doc;        // the fully read document; null when !status.ok
  std::vector<std::string> plotEntries;  // plot-list texts the curve rebuild produced, in order
};

// The file image of doc. Fails only when doc breaks its own bounds (a count or a slot number
// outside its array), which would otherwise write a file no reader can index safely.
// Simulations are written in plot-list order, so slots freed by deleting a plot are skipped.
BwdStatus EncodeBwd(const Titration& doc, const std::string& name, std::vector<unsigned char>& bytes);

// Reads a file image. The new document starts as a copy of `current` reset as New resets it,
// so what New keeps (the temperature when the file has none, the running plot number, the
// Fit dialog's last model) carries over exactly as it does for an open in place. `name`
// only labels messages. `current` is never changed.
BwdLoad DecodeBwd(const unsigned char* data, std::size_t size, const Titration& current,
                  const std::string& name);

// Puts a successful load in place: target takes the loaded experiment (keeping its plot-list
// pointer) and its plot list is refilled with the loaded entries.
void CommitBwdLoad(Titration& target, const BwdLoad& load);

BwdLoad ReadBwdFile(const std::string& path, const Titration& current);
// ReadBwdFile, then CommitBwdLoad on success; on failure doc is untouched.
BwdStatus LoadBwdFile(const std::string& path, Titration& doc);
BwdStatus SaveBwdFile(const std::string& path, const Titration& doc);

// Windows-1252 <-> UTF-8, as used at the file boundary.
std::string cp1252_to_utf8(const std::string& bytes);
std::string utf8_to_cp1252(const std::string& text);

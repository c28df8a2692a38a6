#pragma once

#include <QtGlobal>

// Constants and field offsets of the Compound File Binary format, named as the
// format names them. Private to the compound-file reader.
namespace cfb {

// Sector numbers; every value above MAXREGSECT is a marker, not a sector.
constexpr quint32 MAXREGSECT = 0xFFFFFFFA;
constexpr quint32 DIFSECT = 0xFFFFFFFC;
constexpr quint32 FATSECT = 0xFFFFFFFD;
constexpr quint32 ENDOFCHAIN = 0xFFFFFFFE;
constexpr quint32 FREESECT = 0xFFFFFFFF;

// Directory entry ids.
constexpr quint32 MAXREGSID = 0xFFFFFFFA;
constexpr quint32 NOSTREAM = 0xFFFFFFFF;

constexpr unsigned char Signature[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
constexpr quint16 ByteOrderMark = 0xFFFE;
constexpr quint16 SectorShiftV3 = 9;
constexpr quint16 SectorShiftV4 = 12;
constexpr quint16 MiniSectorShift = 6;
constexpr quint32 MiniSectorSize = 1u << MiniSectorShift;
constexpr quint32 MiniStreamCutoff = 4096;
constexpr int HeaderDifatEntries = 109;
constexpr int DirectoryEntrySize = 128;
constexpr int HeaderBytesRead = 512; // the header proper; a v4 header sector is padded to 4096

// Header fields.
namespace hdr {
constexpr int Signature = 0;
constexpr int MinorVersion = 24;
constexpr int MajorVersion = 26;
constexpr int ByteOrder = 28;
constexpr int SectorShift = 30;
constexpr int MiniSectorShift = 32;
constexpr int DirectorySectorCount = 40;
constexpr int FatSectorCount = 44;
constexpr int FirstDirectorySector = 48;
constexpr int MiniStreamCutoff = 56;
constexpr int FirstMiniFatSector = 60;
constexpr int MiniFatSectorCount = 64;
constexpr int FirstDifatSector = 68;
constexpr int DifatSectorCount = 72;
constexpr int Difat = 76;
} // namespace hdr

// Directory entry fields.
namespace dir {
constexpr int Name = 0;
constexpr int NameLength = 64; // bytes, the terminating NUL included
constexpr int ObjectType = 66;
constexpr int LeftSibling = 68;
constexpr int RightSibling = 72;
constexpr int Child = 76;
constexpr int StartSector = 116;
constexpr int StreamSize = 120;
constexpr int MaxNameBytes = 64;
} // namespace dir

// Object types of a directory entry.
constexpr quint8 TypeUnallocated = 0;
constexpr quint8 TypeStorage = 1;
constexpr quint8 TypeStream = 2;
constexpr quint8 TypeRoot = 5;

} // namespace cfb

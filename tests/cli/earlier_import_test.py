"""tq550 dump and convert on earlier formats: tqx, tq4-dump and tq2-dump."""

import struct

import tq550_test_support as t

TQM_MAGIC = b"TQMLibrarianFile0000TQM" + b" " * 9
TQ4_MAGIC = b"TQMLibrarianFile0000TQ4" + b" " * 9
BLOCK_SIZES = [130, 9, 5, 13, 1, 8, 40, 13, 220, 26, 9, 10, 10, 1, 1, 14, 16, 2, 2, 3] + [17] * 8 + [1] + [17] * 12 + [3, 3]
LOADED = "This file could not be loaded."
UNKNOWN = "Cannot read files of this type."


def earlier_image(name, type_byte=13, fill=0):
    image = bytearray(880)
    for i in range(3, 27):
        image[i] = (i + fill) & 0x7F
    image[0] = 1
    image[2] = type_byte
    image[219] = 1
    image[221] = 2
    image[496:510] = bytes([0, 1, 2, 3, 4, 5, 6, 11, 12, 7, 8, 9, 10, 13])
    image[510:526] = name.ljust(16).encode("latin-1")
    return bytes(image)


def earlier_record(image, memos=(b"", b"", b"", b"")):
    body = b""
    at = 0
    for size in BLOCK_SIZES:
        body += struct.pack(">I", size) + image[at:at + size]
        at += size
    body += b"".join(m + b"\0" for m in memos)
    return struct.pack(">I", len(body)) + body


def earlier_file(records, magic=TQM_MAGIC, count=None):
    count = len(records) if count is None else count
    return magic + struct.pack(">I", count) + bytes(124) + b"".join(records)


def smf(messages):
    track = b""
    for message in messages:
        length = len(message) - 1
        assert length < 128
        track += bytes([0, 0xF0, length]) + message[1:]
    track += bytes([0, 0xFF, 0x2F, 0])
    return b"MThd" + struct.pack(">IHHH", 6, 0, 1, 96) + b"MTrk" + struct.pack(">I", len(track)) + track


def tq4_set(number, offset, data, device=0):
    address = bytes([8 + number // 128, number % 128, offset // 128, offset % 128])
    checksum = (-sum(address + data)) & 0x7F
    return bytes([0xF0, 0x41, device, 0x00, 0x3A, 0x12]) + address + data + bytes([checksum, 0xF7])


def tq2_set(number, block, column, data):
    address = bytes([6 + number // 128, number % 128, block, column])
    return bytes([0xF0, 0x41, 0x10, 0x00, 0x46, 0x12]) + address + data + bytes([0, 0xF7])


class EarlierImports(t.TempDirTest):
    def test_tqx_converts_patches_and_keeps_memos(self):
        memos = (b"one", b"", b"caf\xe9", b"x")
        src = self.write("old.tqx", earlier_file([earlier_record(earlier_image("ALPHA"), memos),
                                                  earlier_record(earlier_image("BE~TA", 24, 5))]))
        patches = t.dump(src, "--from", "tqx", "--initial-data", "none")
        self.assertEqual([p["name"] for p in patches], ["ALPHA".ljust(16), "BE TA".ljust(16)])
        data = bytes.fromhex(patches[0]["data"])
        self.assertEqual(len(data), 2178)
        self.assertEqual(data[256:258], bytes([1, 9]))     # switch, type 13 → 9
        self.assertEqual(data[258:282], bytes(range(3, 27)))
        self.assertEqual(data[1408:1426], bytes([5, 0, 10, 14, 1, 16, 2, 12, 67, 77, 17, 4, 11, 6, 7, 8, 9, 15]))
        self.assertEqual(data[1701 + 1:], bytes(2178 - 1702))
        self.assertEqual([bytes.fromhex(m) for m in patches[0]["memos"]], list(memos))
        second = bytes.fromhex(patches[1]["data"])
        self.assertEqual(second[256], 0)                   # type 24 has no counterpart
        self.assertEqual(second[258], 8)

    def test_tq4_layout_file_is_turned_into_the_tqmax_layout(self):
        image = bytearray(earlier_image("SAME"))
        image[533] = 1
        image[535:537] = bytes([20 >> 7, 20 & 0x7F])        # target 20 → 20 → TQ-550 77
        image[541] = 2                                       # source 2 → 0
        image[526:530] = bytes([1, 8, 1, 7])                 # short settings: targets 199 and 160
        tq4 = self.write("tq4.tqx", earlier_file([earlier_record(bytes(image))], TQ4_MAGIC))
        data = bytes.fromhex(t.dump(tq4, "--from", "tqx", "--initial-data", "none")[0]["data"])
        self.assertEqual(data[1440], 1)
        self.assertEqual(data[1441] * 128 + data[1442], 77)
        self.assertEqual(data[1447], 0)
        self.assertEqual(data[1456], 0)
        # Both short settings are mode-1 assignments from sources 1 and 2 with targets of table E.
        self.assertEqual((data[1351], data[1352]), (8, 7))
        # Read as a TQ-MAX file the same bytes are not moved.
        tqmax = self.write("tqmax.tqx", earlier_file([earlier_record(bytes(image))]))
        data = bytes.fromhex(t.dump(tqmax, "--from", "tqx", "--initial-data", "none")[0]["data"])
        self.assertEqual((data[1440], data[1351], data[1352]), (0, 0, 0))

    def test_initial_data_fills_the_bytes_the_conversion_leaves(self):
        initial = self.write("initial.tql", t.library([t.record(t.patch_data("SEED", 1))]))
        src = self.write("old.tqx", earlier_file([earlier_record(earlier_image("A"))]))
        data = bytes.fromhex(t.dump(src, "--from", "tqx", "--initial-data", initial)[0]["data"])
        self.assertEqual(data[1702:], t.patch_data("SEED", 1)[1702:])
        # The installed initial data holds the same defaults as an unconverted byte.
        installed = t.dump(src, "--from", "tqx")[0]
        self.assertEqual(installed["data"], t.dump(src, "--from", "tqx", "--initial-data", "none")[0]["data"])

    def test_empty_tqx_is_an_empty_list_and_converts_to_an_empty_library(self):
        src = self.write("empty.tqx", earlier_file([]))
        self.assertEqual(t.dump(src, "--from", "tqx"), [])
        status, _, err = t.run("convert", "--from", "tqx", src, self.path("out.tql"))
        self.assertEqual(status, 0, err)
        self.assertEqual(self.read("out.tql"), t.library([]))

    def test_bad_earlier_files_fail_with_the_load_message_first(self):
        good = earlier_record(earlier_image("A"))
        cases = {
            "short.tqx": (bytes(100), [LOADED]),
            "magic.tqx": (earlier_file([good], TQM_MAGIC[:-1] + b"\0"), [LOADED]),
            "zero.tqx": (earlier_file([struct.pack(">I", 0)]), [LOADED, UNKNOWN]),
            "count.tqx": (earlier_file([good], count=0xFFFFFFFF), [LOADED, UNKNOWN]),
            "cut.tqx": (earlier_file([good])[:-50], [LOADED]),
            "block.tqx": (earlier_file([good[:4] + struct.pack(">I", 129) + good[8:]]), [LOADED, UNKNOWN]),
        }
        for name, (content, lines) in cases.items():
            src = self.write(name, content)
            status, out, err = t.run("convert", "--from", "tqx", src, self.path("out.tql"))
            self.assertEqual((status, err.splitlines()[-len(lines):]), (1, lines), name)
            self.assertEqual(out, b"")
        status, _, err = t.run("dump", "--from", "tqx", self.path("absent.tqx"))
        self.assertEqual((status, err.strip()), (1, LOADED))

    def test_tq4_dump_orders_patches_by_first_appearance(self):
        src = self.write("tq4.mid", smf([
            tq4_set(5, 2304, b"FIVE".ljust(16)),
            tq4_set(2, 2304, b"T~O".ljust(16)),
            tq4_set(5, 0, bytes([1, 0, 13]) + bytes(range(3, 30))),
            tq4_set(9, 2304, b"WRONG DEVICE".ljust(16), device=1),
        ]))
        patches = t.dump(src, "--from", "tq4-dump", "--initial-data", "none")
        self.assertEqual([p["name"] for p in patches], ["FIVE".ljust(16), "T}O".ljust(16)])
        data = bytes.fromhex(patches[0]["data"])
        self.assertEqual(data[256:260], bytes([1, 9, 3, 4]))
        self.assertEqual(patches[0]["memos"], ["", "", "", ""])
        status, _, err = t.run("convert", "--from", "tq4-dump", src, self.path("out.mid"))
        self.assertEqual(status, 0, err)
        self.assertEqual(self.read("out.mid")[:4], b"MThd")

    def test_tq4_dump_failures(self):
        status, _, err = t.run("dump", "--from", "tq4-dump", self.write("bad.mid", b"MThd\0\0\0\7" + bytes(20)))
        self.assertEqual((status, err.strip()), (1, LOADED))
        none = self.write("none.mid", smf([tq4_set(1, 2304, b"X" * 16, device=5)]))
        self.assertEqual(t.dump(none, "--from", "tq4-dump"), [])

    def test_tq2_dump_converts_each_patch_once(self):
        src = self.write("tq2.mid", smf([
            tq2_set(9, 11, 0, b"NINE".ljust(16)),
            tq2_set(9, 0, 3, bytes([77])),
            tq2_set(4, 11, 0, b"FOUR".ljust(16)),
            tq2_set(140, 11, 0, b"IGNORED".ljust(16)),
        ]))
        patches = t.dump(src, "--from", "tq2-dump", "--initial-data", "none")
        self.assertEqual([p["name"] for p in patches], ["NINE".ljust(16), "FOUR".ljust(16)])
        self.assertEqual(bytes.fromhex(patches[0]["data"])[66], 77)

    def test_tq2_dump_without_patches_fails(self):
        for name, content in {"none.mid": smf([]), "chunk.mid": smf([tq2_set(0, 11, 0, b"A" * 16)]) + b"XTrk\0\0\0\0",
                              "empty.mid": b""}.items():
            status, _, err = t.run("dump", "--from", "tq2-dump", self.write(name, content))
            self.assertEqual((status, err.strip()), (1, LOADED), name)


if __name__ == "__main__":
    t.main()

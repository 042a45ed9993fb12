#!/usr/bin/env python3
# Writes the seed corpus of fuzz_sdp_response into fuzz/corpus/sdp_response/: scripted server answers
# (each datagram preceded by its two-byte length) for the client's transactions 1, 2, 3...
import pathlib

RECORD_A = bytes.fromhex("3508090000 0A00010000")
RECORD_B = bytes.fromhex("36000D 0900013503191101 09000435 00")
RECORD_C = bytes.fromhex("350A 090100 2505 48650 06C6F".replace(" ", ""))


def sequence(body):
    return bytes([0x35, len(body)]) + body


def response(transaction, lists, continuation=b""):
    parameters = len(lists).to_bytes(2, "big") + lists + bytes([len(continuation)]) + continuation
    return bytes([0x07]) + transaction.to_bytes(2, "big") + len(parameters).to_bytes(2, "big") + parameters


def script(*datagrams):
    return b"".join(len(d).to_bytes(2, "big") + d for d in datagrams)


three = sequence(RECORD_A + RECORD_B + RECORD_C)
seeds = {
    "one-record": script(response(1, sequence(RECORD_A))),
    "three-records": script(response(1, three)),
    "continued": script(response(1, three[:14], b"\x01\x02"), response(2, three[14:33], b"\x03"),
                        response(3, three[33:])),
    "empty": script(response(1, bytes.fromhex("3500"))),
    "long-header": script(response(1, bytes.fromhex("370000000A") + RECORD_A)),
    "error": script(bytes.fromhex("0100010002 0003".replace(" ", ""))),
}
directory = pathlib.Path(__file__).resolve().parent / "sdp_response"
directory.mkdir(exist_ok=True)
for name, data in seeds.items():
    (directory / name).write_bytes(data)

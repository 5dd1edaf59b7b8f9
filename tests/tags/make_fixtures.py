#!/usr/bin/python3
"""Makes the audio and image files the tag tests read, in the folder given as the first
argument. Everything is generated here with ffmpeg and mutagen; nothing is copied in."""

import os
import struct
import subprocess
import sys

from mutagen.apev2 import APEv2, APEValue, BINARY
from mutagen.flac import FLAC, Picture
from mutagen.id3 import ID3, TIT2, TPE1, TRCK, APIC, COMM
from mutagen.mp4 import MP4, MP4Cover
from mutagen.oggvorbis import OggVorbis
from mutagen.asf import ASF, ASFDWordAttribute, ASFByteArrayAttribute

OUT = sys.argv[1]
SINE = ["-hide_banner", "-loglevel", "error", "-y", "-f", "lavfi", "-i"]


def path(name):
    return os.path.join(OUT, name)


def ffmpeg(source, *args):
    subprocess.run(["ffmpeg"] + SINE + [source] + list(args), check=True)


def sine(rate, seconds=0.5):
    return "sine=frequency=440:duration=%s:sample_rate=%d" % (seconds, rate)


BARE_MP3 = ["-ac", "1", "-c:a", "libmp3lame", "-b:a", "32k", "-write_xing", "0",
            "-fflags", "+bitexact", "-map_metadata", "-1"]


def audio():
    for name, rate in (("mpeg1", 44100), ("mpeg2", 22050), ("mpeg25", 11025)):
        ffmpeg(sine(rate), *BARE_MP3, "-id3v2_version", "0", path("bare_%s.mp3" % name))
        ffmpeg(sine(rate), *BARE_MP3, "-id3v2_version", "3", "-metadata", "title=T",
               path("id3_%s.mp3" % name))
    ffmpeg(sine(44100), "-ac", "2", "-c:a", "mp2", "-b:a", "128k", "-fflags", "+bitexact",
           "-map_metadata", "-1", "-f", "mp2", path("layer2.mp3"))
    ffmpeg(sine(22050), "-ac", "1", "-c:a", "aac", "-b:a", "32k", "-f", "adts", path("bare.aac"))
    ffmpeg(sine(22050), "-ac", "1", "-c:a", "aac", "-b:a", "32k", "-write_id3v2", "1",
           "-metadata", "title=T", "-f", "adts", path("id3.aac"))
    ffmpeg(sine(22050), "-ac", "1", "-c:a", "libmp3lame", "-b:a", "32k", "-id3v2_version", "3",
           "-write_id3v1", "1", "-metadata", "title=T", "-metadata", "track=3/12",
           path("tagged.mp3"))
    ffmpeg(sine(22050), "-ac", "1", "-c:a", "flac", "-metadata", "title=T", path("plain.flac"))


def ape_audio(name, old_layout):
    """APE audio has no encoder here, so the descriptor and header are written by hand."""
    if old_layout:
        head = b"MAC " + struct.pack("<HHHHI", 3970, 2000, 0, 2, 44100) + b"\0" * 40
    else:
        descriptor = b"MAC " + struct.pack("<HHIIIIIII", 3990, 0, 52, 24, 4, 0, 1000, 0, 0) + b"\0" * 16
        head = descriptor + struct.pack("<HHIIIHHI", 2000, 0, 73728, 100, 1, 16, 2, 44100)
    frames = struct.pack("<I", 80) + bytes((i * 37) & 255 for i in range(1000))
    with open(path(name), "wb") as f:
        f.write(head + frames)


def images():
    for ext in ("png", "jpg", "gif", "bmp"):
        ffmpeg("color=red:s=16x8", "-frames:v", "1", path("cover." + ext))
    for fmt in ("gray", "rgb24", "rgba", "pal8", "ya8", "rgb48be"):
        ffmpeg("color=red:s=24x10", "-frames:v", "1", "-pix_fmt", fmt, path("png_%s.png" % fmt))


def read(name):
    with open(path(name), "rb") as f:
        return f.read()


def reverse_writers():
    jpg = read("cover.jpg")
    png = read("cover.png")

    # ID3v2.4 with a picture, as a command-line tagger writes it.
    subprocess.run(["cp", path("bare_mpeg2.mp3"), path("v24.mp3")], check=True)
    tags = ID3()
    tags.add(TIT2(encoding=3, text="Title"))
    tags.add(TRCK(encoding=3, text="3/12"))
    tags.add(APIC(encoding=3, mime="image/jpeg", type=3, desc="e", data=jpg))
    tags.save(path("v24.mp3"), v2_version=4)

    # ID3v2.3 plus an ID3v1 record.
    subprocess.run(["cp", path("bare_mpeg2.mp3"), path("v23v1.mp3")], check=True)
    tags = ID3()
    tags.add(TIT2(encoding=1, text="Title"))
    tags.add(TPE1(encoding=1, text="Artist"))
    tags.add(COMM(encoding=1, lang="eng", desc="", text="Note"))
    tags.save(path("v23v1.mp3"), v2_version=3, v1=2)

    # An APE tag in front of an ID3v1 record.
    subprocess.run(["cp", path("bare_mpeg2.mp3"), path("apev1.mp3")], check=True)
    ape = APEv2()
    ape["Title"] = "Ape Title"
    ape["Artist"] = "Ape Artist"
    ape["Cover Art (front)"] = APEValue(b"cover.jpg\0" + jpg, BINARY)
    ape.save(path("apev1.mp3"))
    tags = ID3()
    tags.add(TIT2(encoding=0, text="V1 Title"))
    tags.save(path("apev1.mp3"), v1=2, v2_version=3)
    ID3(path("apev1.mp3")).delete(path("apev1.mp3"), delete_v1=False, delete_v2=True)

    # APE audio with an APEv2 tag.
    ape_audio("new.ape", False)
    ape_audio("old.ape", True)
    subprocess.run(["cp", path("new.ape"), path("tagged.ape")], check=True)
    ape = APEv2()
    ape["Title"] = "Ape Audio"
    ape["Cover Art (front)"] = APEValue(b"cover.png\0" + png, BINARY)
    ape.save(path("tagged.ape"))

    # FLAC with a picture and tags.
    subprocess.run(["cp", path("plain.flac"), path("picture.flac")], check=True)
    flac = FLAC(path("picture.flac"))
    flac["ARTIST"] = "Ar"
    picture = Picture()
    picture.type = 3
    picture.mime = "image/png"
    picture.width, picture.height, picture.depth = 16, 8, 24
    picture.data = png
    flac.add_picture(picture)
    flac.save()

    # An ID3v2 tag and zero bytes in front of a FLAC stream.
    tags = ID3()
    tags.add(TIT2(encoding=3, text="Lead"))
    tags.save(path("lead.id3"), v2_version=3)
    with open(path("id3zeros.flac"), "wb") as f:
        f.write(read("lead.id3") + b"\0" * 100 + read("plain.flac"))


def ogg_crc(data):
    crc = 0
    for byte in data:
        crc ^= byte << 24
        for _ in range(8):
            crc = ((crc << 1) ^ 0x04C11DB7 if crc & 0x80000000 else crc << 1) & 0xFFFFFFFF
    return crc


def ogg_pages(data):
    pages, at = [], 0
    while at < len(data):
        count = data[at + 26]
        lacing = list(data[at + 27:at + 27 + count])
        end = at + 27 + count + sum(lacing)
        pages.append(bytearray(data[at:end]))
        at = end
    return pages


def drop_comment_header(source, target):
    """Removes the comment packet from the page that carries it together with the setup header."""
    pages = ogg_pages(read(source))
    page = pages[1]
    count = page[26]
    lacing = list(page[27:27 + count])
    segments = 0
    while lacing[segments] == 255:
        segments += 1
    segments += 1
    body = page[27 + count:]
    rest = lacing[segments:]
    new = page[:26] + bytes([len(rest)]) + bytes(rest) + body[sum(lacing[:segments]):]
    new[22:26] = b"\0\0\0\0"
    new[22:26] = struct.pack("<I", ogg_crc(bytes(new)))
    pages[1] = new
    with open(path(target), "wb") as f:
        f.write(b"".join(pages))


def to_co64(source, target):
    """Rewrites every chunk-offset table as 64-bit and gives "moov" the 64-bit size form."""
    data = read(source)
    containers = (b"moov", b"trak", b"mdia", b"minf", b"stbl")

    def atoms(body):
        at = 0
        while at + 8 <= len(body):
            size, kind = struct.unpack(">I4s", body[at:at + 8])
            yield kind, body[at + 8:at + size]
            at += size

    def rebuild(body, shift):
        out = b""
        for kind, inner in atoms(body):
            if kind == b"stco":
                n = struct.unpack(">I", inner[4:8])[0]
                offsets = struct.unpack(">%dI" % n, inner[8:8 + 4 * n])
                inner = inner[:8] + b"".join(struct.pack(">Q", o + shift) for o in offsets)
                kind = b"co64"
            elif kind in containers:
                inner = rebuild(inner, shift)
            out += struct.pack(">I", len(inner) + 8) + kind + inner
        return out

    at = 0
    out = b""
    while at < len(data):
        size, kind = struct.unpack(">I4s", data[at:at + 8])
        if kind == b"moov":
            body = data[at + 8:at + size]
            # The media behind "moov" moves by what the header and the wider entries add.
            moov = rebuild(body, 0)
            shift = 16 + len(moov) - size
            moov = rebuild(body, shift)
            out += struct.pack(">I4sQ", 1, b"moov", len(moov) + 16) + moov
        else:
            out += data[at:at + size]
        at += size
    with open(path(target), "wb") as f:
        f.write(out)


def containers():
    png = read("cover.png")
    # MPEG-4: "moov" behind the media, in front of it, with chapters, and with items from mutagen.
    aac = ["-ac", "1", "-c:a", "aac", "-b:a", "32k", "-map_metadata", "-1"]
    ffmpeg(sine(22050), *aac, path("end.m4a"))
    ffmpeg(sine(22050), *aac, "-movflags", "+faststart", path("faststart.m4a"))
    with open(path("chapters.txt"), "w") as f:
        f.write(";FFMETADATA1\ntitle=Chaptered\n[CHAPTER]\nTIMEBASE=1/1000\nSTART=0\nEND=200\n"
                "title=One\n[CHAPTER]\nTIMEBASE=1/1000\nSTART=200\nEND=500\ntitle=Two\n")
    subprocess.run(["ffmpeg"] + SINE + [sine(22050), "-i", path("chapters.txt"), "-map", "0",
                    "-map_metadata", "1", "-map_chapters", "1", "-ac", "1", "-c:a", "aac", "-b:a", "32k",
                    "-f", "mp4", path("chapters.m4a")], check=True)
    # Entries no field carries: ffmpeg's ID3v2.4 chapter frames, CHAPTERnnn Vorbis comments and
    # the encoder's name in a WAV INFO list.
    ffmpeg(sine(22050), "-i", path("chapters.txt"), "-map_chapters", "1", "-ac", "1", path("chapters.mp3"))
    comments = ["CHAPTER001=00:00:00.000", "CHAPTER001NAME=One", "CHAPTER002=00:00:00.200", "CHAPTER002NAME=Two"]
    for name in ("chapters.flac", "chapters.ogg"):
        ffmpeg(sine(22050), "-ac", "1", *sum((["-metadata", c] for c in comments), []), path(name))
    ffmpeg(sine(22050), "-ac", "1", "-metadata", "title=T", path("software.wav"))
    subprocess.run(["cp", path("faststart.m4a"), path("items.m4a")], check=True)
    mp4 = MP4(path("items.m4a"))
    mp4["\xa9nam"] = "Mutagen Title"
    mp4["aART"] = "Band"
    mp4["\xa9wrt"] = "Writer"
    mp4["trkn"] = [(5, 12)]
    mp4["disk"] = [(1, 2)]
    mp4["covr"] = [MP4Cover(png, MP4Cover.FORMAT_PNG)]
    mp4.save()
    to_co64("faststart.m4a", "co64.m4a")

    # WAV: bare, with an INFO list, and streamed to a pipe (sizes left at 0xFFFFFFFF).
    pcm = ["-ac", "1", "-c:a", "pcm_s16le", "-fflags", "+bitexact"]
    ffmpeg(sine(22050), *pcm, "-map_metadata", "-1", path("plain.wav"))
    ffmpeg(sine(22050), *pcm, "-metadata", "title=T", "-metadata", "artist=A", path("info.wav"))
    for name, extra in (("streamed.wav", ["-metadata", "title=T"]), ("streamed_plain.wav", ["-map_metadata", "-1"])):
        with open(path(name), "wb") as f:
            subprocess.run(["ffmpeg"] + SINE + [sine(22050)] + pcm + extra + ["-f", "wav", "-"], check=True, stdout=f)

    # Ogg: ffmpeg's and oggenc's framing, a comment over several pages, a multiplexed file
    # and a stream without comment header.
    ffmpeg(sine(22050), "-ac", "1", "-c:a", "libvorbis", "-metadata", "title=T", path("ffmpeg.ogg"))
    subprocess.run(["oggenc", "-Q", "-t", "T", "-o", path("oggenc.ogg"), path("plain.wav")], check=True)
    subprocess.run(["cp", path("ffmpeg.ogg"), path("long.ogg")], check=True)
    ogg = OggVorbis(path("long.ogg"))
    ogg["comment"] = "x" * 70000
    ogg.save()
    subprocess.run(["ffmpeg"] + SINE + [sine(48000), "-f", "lavfi", "-i", sine(22050), "-map", "0", "-map", "1",
                    "-c:a:0", "libopus", "-c:a:1", "libvorbis", "-ac", "1", path("mux.ogg")], check=True)
    drop_comment_header("oggenc.ogg", "nocomment.ogg")

    # ASF: ffmpeg's header, and attributes written by mutagen, one picture too large for the
    # Extended Content Description.
    ffmpeg(sine(22050), "-ac", "1", "-c:a", "wmav2", "-b:a", "32k", "-metadata", "title=T", path("ffmpeg.wma"))
    subprocess.run(["cp", path("ffmpeg.wma"), path("attributes.wma")], check=True)
    asf = ASF(path("attributes.wma"))
    asf["WM/Track"] = [ASFDWordAttribute(4)]
    asf["WM/GenreID"] = [ASFDWordAttribute(17)]
    asf["ID3"] = [ASFByteArrayAttribute(read("lead.id3"))]
    big = png + bytes(70000)
    picture = b"\x03" + struct.pack("<I", len(big)) + "image/png\0".encode("utf-16-le") + b"\0\0" + big
    asf["WM/Picture"] = [ASFByteArrayAttribute(picture)]
    asf.save()


os.makedirs(OUT, exist_ok=True)
audio()
images()
reverse_writers()
containers()

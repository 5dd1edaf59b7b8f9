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


os.makedirs(OUT, exist_ok=True)
audio()
images()
reverse_writers()

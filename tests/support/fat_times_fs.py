#!/usr/bin/python3
"""A pass-through FUSE file system over a backing folder that keeps times as
FAT disks do, for tests and benchmarks where no FAT driver keeps set times.

    fat_times_fs.py BACKING MOUNTPOINT [--times up|down|whole|none]
                    [--max-file-size BYTES] [--subtype NAME]

--times: "up" rounds a set modification time up to the next 2-second step
(Windows' FAT), "down" rounds it down (Linux's vfat), "whole" keeps whole
seconds (a network folder), "none" keeps no set time at all.
--max-file-size: writes and lengths past it fail with EFBIG (FAT32: 4 GiB - 1).
--subtype: the file system type the mount shows as "fuse.<NAME>".
Runs in the foreground until unmounted (fusermount -u MOUNTPOINT).
"""

import argparse
import errno
import os
import sys

import fusepy

SECOND = 10**9


def kept_time(nanoseconds, mode):
    if mode == "whole":
        return nanoseconds // SECOND * SECOND
    step = 2 * SECOND
    if mode == "down":
        return nanoseconds // step * step
    return -(-nanoseconds // step) * step


class FatTimes(fusepy.Operations):
    use_ns = True

    def __init__(self, backing, times, max_size):
        self.backing = os.path.realpath(backing)
        self.times = times
        self.max_size = max_size

    def _real(self, path):
        return os.path.join(self.backing, path.lstrip("/"))

    def _check_size(self, length):
        if self.max_size is not None and length > self.max_size:
            raise fusepy.FuseOSError(errno.EFBIG)

    def __call__(self, op, *args):
        try:
            return super().__call__(op, *args)
        except OSError as error:
            if isinstance(error, fusepy.FuseOSError):
                raise
            raise fusepy.FuseOSError(error.errno or errno.EIO) from None

    def getattr(self, path, fh=None):
        st = os.lstat(self._real(path)) if fh is None else os.fstat(fh)
        keys = ("st_mode", "st_nlink", "st_uid", "st_gid", "st_size", "st_ino")
        attrs = {key: getattr(st, key) for key in keys}
        attrs["st_atime"] = st.st_atime_ns
        attrs["st_mtime"] = st.st_mtime_ns
        attrs["st_ctime"] = st.st_ctime_ns
        return attrs

    def access(self, path, amode):
        if not os.access(self._real(path), amode):
            raise fusepy.FuseOSError(errno.EACCES)

    def readdir(self, path, fh):
        return [".", ".."] + os.listdir(self._real(path))

    def readlink(self, path):
        return os.readlink(self._real(path))

    def mkdir(self, path, mode):
        os.mkdir(self._real(path), mode)

    def rmdir(self, path):
        os.rmdir(self._real(path))

    def unlink(self, path):
        os.unlink(self._real(path))

    def symlink(self, target, source):
        os.symlink(source, self._real(target))

    def rename(self, old, new):
        os.rename(self._real(old), self._real(new))

    def chmod(self, path, mode):
        os.chmod(self._real(path), mode)

    def chown(self, path, uid, gid):
        os.chown(self._real(path), uid, gid)

    def utimens(self, path, times=None):
        if self.times == "none":
            return 0
        real = self._real(path)
        st = os.lstat(real)
        # Only the modification time is kept; an omitted access time stays.
        modified = kept_time(times[1], self.times) if times else None
        if modified is None:
            os.utime(real)
        else:
            os.utime(real, ns=(st.st_atime_ns, modified), follow_symlinks=False)
        return 0

    def statfs(self, path):
        sv = os.statvfs(self._real(path))
        keys = ("f_bavail", "f_bfree", "f_blocks", "f_bsize", "f_favail",
                "f_ffree", "f_files", "f_flag", "f_frsize", "f_namemax")
        return {key: getattr(sv, key) for key in keys}

    def open(self, path, flags):
        return os.open(self._real(path), flags)

    def create(self, path, mode, fi=None):
        return os.open(self._real(path), os.O_WRONLY | os.O_CREAT | os.O_TRUNC, mode)

    def read(self, path, size, offset, fh):
        return os.pread(fh, size, offset)

    def write(self, path, data, offset, fh):
        self._check_size(offset + len(data))
        return os.pwrite(fh, data, offset)

    def truncate(self, path, length, fh=None):
        self._check_size(length)
        if fh is None:
            os.truncate(self._real(path), length)
        else:
            os.ftruncate(fh, length)

    def flush(self, path, fh):
        return 0

    def release(self, path, fh):
        os.close(fh)

    def fsync(self, path, datasync, fh):
        if datasync:
            os.fdatasync(fh)
        else:
            os.fsync(fh)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("backing")
    parser.add_argument("mountpoint")
    parser.add_argument("--times", choices=("up", "down", "whole", "none"), default="up")
    parser.add_argument("--max-file-size", type=int)
    parser.add_argument("--subtype", default="fattimes")
    args = parser.parse_args()
    fusepy.FUSE(FatTimes(args.backing, args.times, args.max_file_size), args.mountpoint,
                foreground=True, nothreads=True, default_permissions=True, allow_other=True,
                subtype=args.subtype, fsname="fattimes")
    return 0


if __name__ == "__main__":
    sys.exit(main())

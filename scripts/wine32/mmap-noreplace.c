/* Preloaded into Wine's 32-bit loader when it runs under qemu-i386 (see ../wine32.sh).
 *
 * qemu-user 7.2 drops MAP_FIXED_NOREPLACE and takes the address as a mere hint, so Wine's reservations of
 * fixed address ranges land elsewhere and start-up fails ("failed to map the shared user data"). Here the
 * flag regains the kernel's meaning: if the mapping is not exactly where asked, undo it and fail with EEXIST.
 *
 * Built with -nostdlib: no i386 libc headers are needed, only libc's syscall() at run time. */
typedef unsigned int size_t;
typedef long long off64_t;

extern long syscall(long number, ...);
extern int* __errno_location(void);

enum { kSysMunmap = 91, kSysMmap2 = 192, kMapFixedNoreplace = 0x100000, kEinval = 22, kEexist = 17 };

void* mmap64(void* addr, size_t len, int prot, int flags, int fd, off64_t off) {
  int noreplace = flags & kMapFixedNoreplace;
  long r;
  if (off & 0xfff) {
    *__errno_location() = kEinval;
    return (void*)-1;
  }
  r = syscall(kSysMmap2, addr, len, prot, flags & ~kMapFixedNoreplace, fd, (unsigned long)(off >> 12));
  if (r == -1) return (void*)-1;
  if (noreplace && (void*)r != addr) {
    syscall(kSysMunmap, r, len);
    *__errno_location() = kEexist;
    return (void*)-1;
  }
  return (void*)r;
}

void* mmap(void* addr, size_t len, int prot, int flags, int fd, long off) {
  return mmap64(addr, len, prot, flags, fd, (off64_t)off);
}

// i2c_probe NODE: what a program that asks before it sends meets on an
// i2c-dev node: the adapter's I2C_FUNCS, then I2C_SLAVE 0x50 with a one-byte
// write() of offset 0 and a read() of 8 bytes. One line each, for the node
// tests to compare:
//   functions I2C|SMBUS
//   read 00 FF FF FF FF FF FF 00      or   read error ENXIO
#include <fcntl.h>
#include <linux/i2c-dev.h>
#include <linux/i2c.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    const int fd = ::open(argv[1], O_RDWR | O_CLOEXEC);
    if (fd < 0) {
        std::printf("open error %s\n", strerrorname_np(errno));
        return 1;
    }
    unsigned long functions = 0;
    if (::ioctl(fd, I2C_FUNCS, &functions) != 0) {
        std::printf("functions error %s\n", strerrorname_np(errno));
    } else {
        std::printf("functions %s\n", (functions & I2C_FUNC_I2C) != 0 ? "I2C" : "SMBUS");
    }
    unsigned char offset = 0;
    unsigned char bytes[8] = {};
    if (::ioctl(fd, I2C_SLAVE, 0x50) != 0 || ::write(fd, &offset, 1) != 1 || ::read(fd, bytes, 8) != 8) {
        std::printf("read error %s\n", strerrorname_np(errno));
    } else {
        std::printf("read");
        for (unsigned char byte : bytes) std::printf(" %02X", byte);
        std::printf("\n");
    }
    ::close(fd);
    return 0;
}

// Serves the package folder on localhost, for the demo page (browsers load
// ES modules only over http):
//   npm run demo            # http://127.0.0.1:8080/demo/
//   PORT=9000 npm run demo
import { createReadStream, statSync } from 'node:fs';
import { createServer } from 'node:http';
import { dirname, extname, join, resolve, sep } from 'node:path';
import { fileURLToPath } from 'node:url';

const TYPES = {
  '.html': 'text/html; charset=utf-8',
  '.js': 'text/javascript; charset=utf-8',
  '.mjs': 'text/javascript; charset=utf-8',
  '.css': 'text/css; charset=utf-8',
  '.csv': 'text/csv; charset=utf-8',
  '.png': 'image/png',
  '.svg': 'image/svg+xml',
};

export const packageRoot = resolve(dirname(fileURLToPath(import.meta.url)), '..');

// Starts a server for the files under root on 127.0.0.1 (port 0: any free
// one); resolves to the server once it listens.
export function serve(root = packageRoot, port = 0) {
  const server = createServer((request, response) => {
    const path = decodeURIComponent(new URL(request.url, 'http://localhost').pathname);
    let file = resolve(join(root, path));
    const inside = file === root || file.startsWith(root + sep);
    try {
      if (inside && statSync(file).isDirectory()) {
        if (!path.endsWith('/')) {
          response.writeHead(301, { location: `${path}/` }).end();
          return;
        }
        file = join(file, 'index.html');
      }
      if (!inside || request.method !== 'GET' || !statSync(file).isFile()) throw new Error();
    } catch {
      response.writeHead(404, { 'content-type': 'text/plain' }).end('not found\n');
      return;
    }
    response.writeHead(200, { 'content-type': TYPES[extname(file)] ?? 'application/octet-stream' });
    createReadStream(file).pipe(response);
  });
  return new Promise((done, fail) => {
    server.once('error', fail);
    server.listen(port, '127.0.0.1', () => done(server));
  });
}

if (process.argv[1] === fileURLToPath(import.meta.url)) {
  const server = await serve(packageRoot, Number(process.env.PORT ?? 8080));
  console.log(`demo: http://127.0.0.1:${server.address().port}/demo/ (Ctrl-C stops)`);
}
